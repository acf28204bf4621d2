#include "platform/GlApi.h"

namespace terrabo {

bool GlApi::complete() const {
#define TERRABO_GL_FILLED(name, type) &&name != nullptr
    return true TERRABO_GL_ENTRIES(TERRABO_GL_FILLED);
#undef TERRABO_GL_FILLED
}

} // namespace terrabo

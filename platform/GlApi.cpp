#include "platform/GlApi.h"

namespace terrabo {

bool GlApi::complete() const {
    // The table is a run of function pointers; any null one makes it unusable.
    const auto* begin = reinterpret_cast<void* const*>(this);
    const auto* end = begin + sizeof(GlApi) / sizeof(void*);
    for (auto* p = begin; p != end; ++p)
        if (!*p)
            return false;
    return true;
}

} // namespace terrabo

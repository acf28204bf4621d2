#include "app/AppContext.h"

namespace terrabo {

AppContext& appContext() {
    static AppContext context;
    return context;
}

} // namespace terrabo

// Whether the network features may go ahead: asked afresh every time.
#include "app/AppContext.h"
#include "overlay/TerraboLayer.h"
#include "web/Connectivity.h"

namespace terrabo {

bool TerraboLayer::connected() {
    ConnectivityProbe* probe = appContext().connectivity;
    return probe && isConnected(*probe);
}

} // namespace terrabo

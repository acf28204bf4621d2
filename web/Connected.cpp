// Whether the network features may go ahead: asked afresh every time.
#include "app/AppContext.h"
#include "overlay/TerraboLayer.h"
#include "web/Connectivity.h"

namespace terrabo {

bool TerraboLayer::connected() {
    // The home button reaches no service of its own: the lookup service stands for all.
    return connected(appContext().lookupBase);
}

bool TerraboLayer::connected(const std::string& address) {
    ConnectivityProbe* probe = appContext().connectivity;
    return probe && isConnected(*probe, address);
}

} // namespace terrabo

#include "web/Connectivity.h"

namespace terrabo {

RouteStatus routeStatus(const std::optional<RouteFlags>& flags) {
    if (!flags || !flags->reachable)
        return RouteStatus::NotReachable;
    if (flags->cellular)
        return RouteStatus::ReachableCellular;
    if (!flags->connectionRequired)
        return RouteStatus::ReachableLocal;
    // A connection that would come up by itself, without asking the user.
    if ((flags->connectionOnTraffic || flags->connectionOnDemand) && !flags->interventionRequired)
        return RouteStatus::ReachableLocal;
    return RouteStatus::NotReachable;
}

bool isConnected(ConnectivityProbe& probe) {
    return routeStatus(probe.defaultRoute()) != RouteStatus::NotReachable;
}

} // namespace terrabo

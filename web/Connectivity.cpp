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

std::string hostOfAddress(const std::string& address) {
    const auto scheme = address.find("://");
    if (scheme == std::string::npos)
        return {};
    const auto start = scheme + 3;
    const auto end = address.find_first_of("/?#", start);
    std::string authority = address.substr(start, end == std::string::npos ? end : end - start);
    if (const auto at = authority.rfind('@'); at != std::string::npos)
        authority.erase(0, at + 1);
    std::string host;
    if (!authority.empty() && authority.front() == '[') {
        const auto close = authority.find(']');
        host = close == std::string::npos ? authority : authority.substr(0, close + 1);
    } else {
        host = authority.substr(0, authority.find(':'));
    }
    for (char& c : host)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return host;
}

bool isConnected(ConnectivityProbe& probe, const std::string& address) {
    return routeStatus(probe.routeTo(hostOfAddress(address))) != RouteStatus::NotReachable;
}

} // namespace terrabo

#pragma once

#include <optional>
#include <string>

namespace terrabo {

// The state of the default route, as reachability flags.
struct RouteFlags {
    bool reachable = false;
    bool cellular = false; // through a mobile data modem
    bool connectionRequired = false;
    bool connectionOnTraffic = false;
    bool connectionOnDemand = false;
    bool interventionRequired = false;

    bool operator==(const RouteFlags&) const = default;
};

// A fresh look at the default route on every call; nothing is cached.
class ConnectivityProbe {
  public:
    virtual ~ConnectivityProbe() = default;
    // nullopt when the route's state cannot be read.
    virtual std::optional<RouteFlags> defaultRoute() = 0;
    // The route toward one host (a name or an address literal); a probe that
    // knows nothing better answers with the default route.
    virtual std::optional<RouteFlags> routeTo(const std::string& host) {
        static_cast<void>(host);
        return defaultRoute();
    }
};

} // namespace terrabo

#pragma once

#include "platform/ConnectivityProbe.h"

#include <string>

namespace terrabo {

// Reads the kernel's IPv4 default route and the kind of its interface.
// No default route, or one through an interface that is down, is not
// reachable; a mobile data modem is cellular; anything else is reachable
// with no connection to set up. A loopback host never needs the default
// route: it is always reachable.
class LinuxRouteProbe final : public ConnectivityProbe {
  public:
    // rootDir is "/" on a device; tests point it at a tree of their own.
    explicit LinuxRouteProbe(std::string rootDir = "/");
    std::optional<RouteFlags> defaultRoute() override;
    std::optional<RouteFlags> routeTo(const std::string& host) override;

  private:
    std::string root_;
};

// localhost, 127.0.0.0/8, ::1 and IPv4-mapped 127.x; brackets allowed.
bool isLoopbackHost(const std::string& host);

} // namespace terrabo

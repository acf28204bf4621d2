#pragma once

#include "platform/ConnectivityProbe.h"

#include <string>

namespace terrabo {

// Reads the kernel's IPv4 default route and the kind of its interface.
// No default route, or one through an interface that is down, is not
// reachable; a mobile data modem is cellular; anything else is reachable
// with no connection to set up.
class LinuxRouteProbe final : public ConnectivityProbe {
  public:
    // rootDir is "/" on a device; tests point it at a tree of their own.
    explicit LinuxRouteProbe(std::string rootDir = "/");
    std::optional<RouteFlags> defaultRoute() override;

  private:
    std::string root_;
};

} // namespace terrabo

#pragma once

#include "platform/ConnectivityProbe.h"

#include <optional>

namespace terrabo {

enum class RouteStatus { NotReachable, ReachableLocal, ReachableCellular };

// nullopt (a probe that could not be read) counts as not reachable.
RouteStatus routeStatus(const std::optional<RouteFlags>& flags);

// Asks the probe afresh; true through either kind of network.
bool isConnected(ConnectivityProbe& probe);

} // namespace terrabo

#pragma once

#include "platform/ConnectivityProbe.h"

#include <optional>
#include <string>

namespace terrabo {

enum class RouteStatus { NotReachable, ReachableLocal, ReachableCellular };

// nullopt (a probe that could not be read) counts as not reachable.
RouteStatus routeStatus(const std::optional<RouteFlags>& flags);

// The host part of an absolute address ("http://user@[::1]:8765/x" -> "[::1]"),
// lower-cased; empty when the address has none.
std::string hostOfAddress(const std::string& address);

// Asks the probe afresh about the route toward the address's host; true
// through either kind of network.
bool isConnected(ConnectivityProbe& probe, const std::string& address = {});

} // namespace terrabo

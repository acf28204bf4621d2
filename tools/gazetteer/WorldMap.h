#pragma once

#include "tools/gazetteer/Json.h"

#include <optional>
#include <string>

namespace terrabo::gazetteer {

// The countries of a TopoJSON topology as one SVG path, in the server's map
// plane: x = longitude * 10, y = -Mercator(latitude) * 10, latitudes held
// within +-85 degrees. Points closer than `minStep` units to the last one
// kept are dropped. Nothing when the topology is not as expected.
std::optional<std::string> countriesPath(const Json& topology, int minStep);

} // namespace terrabo::gazetteer

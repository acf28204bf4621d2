#pragma once

#include <string>

namespace terrabo::server {

// The page of other applications: Terrabo, its companion tools and the
// credits of the data they use.
std::string appsPage();

} // namespace terrabo::server

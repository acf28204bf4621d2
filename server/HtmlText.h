#pragma once

#include <string>
#include <string_view>

namespace terrabo::server {

// Text made safe for HTML element content and quoted attributes.
std::string escapeHtml(std::string_view text);

} // namespace terrabo::server

#pragma once

#include <string>
#include <string_view>

namespace terrabo::server {

inline constexpr int kBannerWidth = 320;
inline constexpr int kBannerHeight = 50;

// An ad unit is named by 15 lower-case letters and digits.
bool isAdUnit(std::string_view unit);

// The house ad, a 320 x 50 PNG.
std::string houseAdPng();

} // namespace terrabo::server

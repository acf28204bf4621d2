#pragma once

#include <cstdint>
#include <vector>

namespace terrabo::pod {

// An RGB picture (8 bits a channel, rows top to bottom) as a PNG file. The
// image data is stored, not compressed: a few lines of code, and the same
// bytes on every build. Empty when `rgb` holds fewer than width * height pixels.
std::vector<std::uint8_t> encodePng(int width, int height, const std::vector<std::uint8_t>& rgb);

} // namespace terrabo::pod

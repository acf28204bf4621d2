#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace terrabo::server {

struct Rgb {
    uint8_t r, g, b;
};

// A small raster to draw the house ad into; drawing outside is clipped.
class RgbImage {
  public:
    RgbImage(int width, int height, Rgb fill = {0, 0, 0});

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb at(int x, int y) const;
    void set(int x, int y, Rgb colour);
    void fillRect(int x, int y, int w, int h, Rgb colour);
    void fillCircle(double cx, double cy, double radius, Rgb colour);

    // Text in a 5 x 7 pixel font, each font pixel `scale` pixels wide; upper-
    // case letters, digits, blank and ".,-!'". Others draw as blanks.
    void drawText(int x, int y, std::string_view text, int scale, Rgb colour);
    static int textWidth(std::string_view text, int scale);

    // PNG, 8-bit RGB, no interlace.
    std::string encodePng() const;

  private:
    int width_;
    int height_;
    std::vector<uint8_t> pixels_;
};

} // namespace terrabo::server

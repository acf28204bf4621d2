#include "server/RgbImage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <zlib.h>

namespace terrabo::server {
namespace {

struct Glyph {
    char c;
    std::array<uint8_t, 7> rows; // five bits each, the high bit on the left
};

constexpr Glyph kGlyphs[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}},
    {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {',', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'!', {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}},
    {'\'', {0x04, 0x04, 0x08, 0x00, 0x00, 0x00, 0x00}},
};

const Glyph* glyphFor(char c) {
    for (const Glyph& g : kGlyphs)
        if (g.c == c)
            return &g;
    return nullptr;
}

void appendBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void appendChunk(std::string& out, const char type[4], const std::string& data) {
    appendBigEndian(out, static_cast<uint32_t>(data.size()));
    std::string body(type, 4);
    body += data;
    out += body;
    appendBigEndian(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                                     static_cast<uInt>(body.size()))));
}

} // namespace

RgbImage::RgbImage(int width, int height, Rgb fill)
    : width_(std::max(width, 1)), height_(std::max(height, 1)),
      pixels_(static_cast<size_t>(width_) * height_ * 3) {
    fillRect(0, 0, width_, height_, fill);
}

Rgb RgbImage::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return {0, 0, 0};
    const size_t i = (static_cast<size_t>(y) * width_ + x) * 3;
    return {pixels_[i], pixels_[i + 1], pixels_[i + 2]};
}

void RgbImage::set(int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    const size_t i = (static_cast<size_t>(y) * width_ + x) * 3;
    pixels_[i] = colour.r;
    pixels_[i + 1] = colour.g;
    pixels_[i + 2] = colour.b;
}

void RgbImage::fillRect(int x, int y, int w, int h, Rgb colour) {
    for (int row = std::max(y, 0); row < std::min(y + h, height_); ++row)
        for (int col = std::max(x, 0); col < std::min(x + w, width_); ++col)
            set(col, row, colour);
}

void RgbImage::fillCircle(double cx, double cy, double radius, Rgb colour) {
    const int top = static_cast<int>(std::floor(cy - radius));
    const int bottom = static_cast<int>(std::ceil(cy + radius));
    for (int y = top; y <= bottom; ++y) {
        for (int x = static_cast<int>(std::floor(cx - radius));
             x <= static_cast<int>(std::ceil(cx + radius)); ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            if (dx * dx + dy * dy <= radius * radius)
                set(x, y, colour);
        }
    }
}

int RgbImage::textWidth(std::string_view text, int scale) {
    return text.empty() ? 0 : static_cast<int>(text.size()) * 6 * scale - scale;
}

void RgbImage::drawText(int x, int y, std::string_view text, int scale, Rgb colour) {
    for (const char c : text) {
        if (const Glyph* g = glyphFor(c)) {
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col)
                    if (g->rows[row] & (0x10 >> col))
                        fillRect(x + col * scale, y + row * scale, scale, scale, colour);
        }
        x += 6 * scale;
    }
}

std::string RgbImage::encodePng() const {
    std::string raw;
    raw.reserve(static_cast<size_t>(height_) * (1 + width_ * 3));
    for (int y = 0; y < height_; ++y) {
        raw += '\0'; // no filter
        raw.append(reinterpret_cast<const char*>(pixels_.data()) +
                       static_cast<size_t>(y) * width_ * 3,
                   static_cast<size_t>(width_) * 3);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return {};
    packed.resize(packedSize);

    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    appendBigEndian(header, static_cast<uint32_t>(width_));
    appendBigEndian(header, static_cast<uint32_t>(height_));
    header +=
        std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter set, no interlace
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", packed);
    appendChunk(png, "IEND", {});
    return png;
}

} // namespace terrabo::server

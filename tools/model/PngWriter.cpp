#include "tools/model/PngWriter.h"

#include <algorithm>
#include <array>
#include <string>

namespace terrabo::pod {
namespace {

std::uint32_t crc32(const std::uint8_t* p, std::size_t n) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i)
        c = table[(c ^ p[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t adler32(const std::vector<std::uint8_t>& data) {
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

void bigEndian(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void chunk(std::vector<std::uint8_t>& out, const char* type,
           const std::vector<std::uint8_t>& data) {
    bigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    bigEndian(out, crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored deflate blocks.
std::vector<std::uint8_t> zlibStored(const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> out = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535, data.size() - at);
        const bool last = at + n == data.size();
        out.push_back(last ? 1 : 0);
        const auto len = static_cast<std::uint16_t>(n);
        const auto nlen = static_cast<std::uint16_t>(~len);
        out.insert(out.end(),
                   {static_cast<std::uint8_t>(len), static_cast<std::uint8_t>(len >> 8),
                    static_cast<std::uint8_t>(nlen), static_cast<std::uint8_t>(nlen >> 8)});
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    } while (at < data.size());
    bigEndian(out, adler32(data));
    return out;
}

} // namespace

std::vector<std::uint8_t> encodePng(int width, int height, const std::vector<std::uint8_t>& rgb) {
    if (width <= 0 || height <= 0)
        return {};
    const auto w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
    if (rgb.size() < w * h * 3)
        return {};
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    bigEndian(header, static_cast<std::uint32_t>(width));
    bigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, no filter, no interlace
    chunk(out, "IHDR", header);
    std::vector<std::uint8_t> rows;
    for (std::size_t y = 0; y < h; ++y) {
        rows.push_back(0); // filter: none
        const auto row = rgb.begin() + static_cast<std::ptrdiff_t>(y * w * 3);
        rows.insert(rows.end(), row, row + static_cast<std::ptrdiff_t>(w * 3));
    }
    chunk(out, "IDAT", zlibStored(rows));
    chunk(out, "IEND", {});
    return out;
}

} // namespace terrabo::pod

#include "engine/render/Mipmaps.h"

#include <algorithm>

namespace terrabo {

void premultiplyAlpha(Image& image) {
    auto& px = image.rgba;
    for (std::size_t i = 0; i + 3 < px.size(); i += 4) {
        const unsigned a = px[i + 3];
        if (a == 255)
            continue;
        for (std::size_t c = 0; c < 3; ++c)
            px[i + c] = static_cast<std::uint8_t>((px[i + c] * a + 127) / 255);
    }
}

Image halved(const Image& image) {
    Image out;
    out.width = std::max(1, image.width / 2);
    out.height = std::max(1, image.height / 2);
    out.rgba.resize(static_cast<std::size_t>(out.width) * out.height * 4);
    // A side of one texel cannot be halved; it is averaged along the other only.
    const int dx = image.width > 1 ? 1 : 0, dy = image.height > 1 ? 1 : 0;
    const auto row = static_cast<std::size_t>(image.width) * 4;
    std::uint8_t* to = out.rgba.data();
    for (int y = 0; y < out.height; ++y) {
        const std::uint8_t* top = image.rgba.data() + static_cast<std::size_t>(2 * y) * row;
        const std::uint8_t* bottom = top + dy * row;
        for (int x = 0; x < out.width; ++x, to += 4) {
            const std::size_t a = static_cast<std::size_t>(2 * x) * 4, b = a + dx * 4;
            for (std::size_t c = 0; c < 4; ++c)
                to[c] = static_cast<std::uint8_t>((top[a + c] + top[b + c] + bottom[a + c] +
                                                   bottom[b + c] + 2) / 4);
        }
    }
    return out;
}

int halvingsToFit(int side, int needed) {
    if (needed <= 0)
        return 0;
    int halvings = 0;
    while (side / 2 >= needed && side > 1) {
        side /= 2;
        ++halvings;
    }
    return halvings;
}

} // namespace terrabo

#include "server/HouseAd.h"

#include "server/RgbImage.h"

#include <algorithm>

namespace terrabo::server {

bool isAdUnit(std::string_view unit) {
    return unit.size() == 15 && std::all_of(unit.begin(), unit.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
           });
}

std::string houseAdPng() {
    RgbImage ad(kBannerWidth, kBannerHeight);
    for (int x = 0; x < kBannerWidth; ++x) {
        const int t = x * 255 / (kBannerWidth - 1);
        ad.fillRect(x, 0, 1, kBannerHeight,
                    {static_cast<uint8_t>(11 + t * 8 / 255),
                     static_cast<uint8_t>(42 + t * 20 / 255),
                     static_cast<uint8_t>(74 + t * 40 / 255)});
    }

    // A little globe: ocean, two continents, a highlight.
    RgbImage globe(kBannerHeight, kBannerHeight);
    const Rgb clear{1, 2, 3};
    globe.fillRect(0, 0, kBannerHeight, kBannerHeight, clear);
    globe.fillCircle(25, 25, 19, {47, 127, 208});
    globe.fillCircle(18, 18, 8, {90, 168, 90});
    globe.fillCircle(14, 26, 5, {90, 168, 90});
    globe.fillCircle(32, 31, 7, {90, 168, 90});
    globe.fillCircle(19, 15, 3, {170, 215, 255});
    for (int y = 0; y < kBannerHeight; ++y)
        for (int x = 0; x < kBannerHeight; ++x) {
            const Rgb c = globe.at(x, y);
            const double dx = x + 0.5 - 25, dy = y + 0.5 - 25;
            if ((c.r != clear.r || c.g != clear.g || c.b != clear.b) &&
                dx * dx + dy * dy <= 19 * 19)
                ad.set(x + 4, y, c);
        }

    const Rgb white{255, 255, 255};
    ad.drawText(56, 6, "TERRABO", 3, white);
    ad.drawText(57, 34, "THE WHOLE EARTH, OFFLINE", 1, {169, 209, 255});

    const Rgb gold{245, 184, 46};
    ad.fillRect(252, 13, 60, 24, gold);
    ad.fillRect(251, 14, 62, 22, gold);
    ad.drawText(252 + (60 - RgbImage::textWidth("OPEN", 2)) / 2, 18, "OPEN", 2, {20, 33, 51});
    return ad.encodePng();
}

} // namespace terrabo::server

#include "server/MapPage.h"

#include "server/HtmlText.h"
#include "server/LookupAnswer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace terrabo::server {
namespace {

constexpr double kPageWidth = 320; // points
constexpr double kMapHeight = 360; // points
constexpr double kCityWidth = 24;  // degrees of longitude across the map
constexpr double kMaxLat = 85;

constexpr const char* kStyle =
    "html,body{margin:0;background:#0b1d33;color:#f2f5f8;"
    "font:15px/1.35 'Liberation Sans',Arial,Helvetica,sans-serif}"
    "body{max-width:480px}"
    "header{padding:10px 12px 8px}"
    "h1{font-size:21px;margin:0;overflow-wrap:anywhere}"
    ".sub{color:#b8c7d9;font-size:13px;margin-top:2px}"
    "svg{display:block;width:100%;height:auto;aspect-ratio:320/360;background:#8fc1e3}"
    ".land{fill:#f1ecdb;stroke:#9a8d70;stroke-width:.7;stroke-linejoin:round;"
    "vector-effect:non-scaling-stroke}"
    ".coords{font-size:17px;padding:10px 12px 4px;font-variant-numeric:tabular-nums}"
    ".hint{font-size:13px;color:#b8c7d9;padding:0 12px 6px}"
    ".credit{font-size:11px;color:#8ca0b8;padding:6px 12px 12px}";

std::string number(double value, int decimals) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

std::string coordinatesText(double lat, double lon) {
    return number(std::abs(lat), 4) + "\u00B0 " + (lat < 0 ? "S" : "N") + ", " +
           number(std::abs(lon), 4) + "\u00B0 " + (lon < 0 ? "W" : "E");
}

std::string page(std::string_view title, std::string_view body) {
    std::string out = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
                      "<meta name=\"viewport\" content=\"width=320, initial-scale=1\">"
                      "<title>";
    out += escapeHtml(title);
    out += " \u2013 Terrabo map</title><style>";
    out += kStyle;
    out += "</style></head><body>";
    out += body;
    out += "<div class=\"credit\">Map data: Natural Earth. Places: GeoNames (CC BY 4.0), "
           "world-countries.</div></body></html>\n";
    return out;
}

} // namespace

double mercatorDegrees(double lat) {
    const double phi = std::clamp(lat, -kMaxLat, kMaxLat) * std::numbers::pi / 180;
    return std::log(std::tan(std::numbers::pi / 4 + phi / 2)) * 180 / std::numbers::pi;
}

MapPage::MapPage(std::string_view worldPath) {
    worldDefs_ = "<defs><path id=\"w\" class=\"land\" transform=\"scale(0.1)\" d=\"";
    // The index writes only these; anything else would end the attribute.
    for (const char c : worldPath)
        if ((c >= '0' && c <= '9') || c == '-' || c == ' ' || c == 'M' || c == 'l' || c == 'z')
            worldDefs_ += c;
    worldDefs_ += "\"/></defs><use href=\"#w\" x=\"-360\"/><use href=\"#w\"/>"
                  "<use href=\"#w\" x=\"360\"/>";
}

double MapPage::viewWidth(const FoundPlace& place) {
    if (place.bbox) {
        // The whole box, with a margin; its height counts through Mercator.
        const BoundingBox& b = *place.bbox;
        const double tall = (mercatorDegrees(b.latMax) - mercatorDegrees(b.latMin)) *
                            kPageWidth / kMapHeight;
        return std::clamp(std::max(b.lonSpan(), tall) * 1.25, 2.0, 360.0);
    }
    if (place.kind != FoundPlace::Kind::Country || place.areaKm2 <= 0)
        return kCityWidth;
    // A square of the country's area, four times over, for its neighbours.
    const double sideDegrees = std::sqrt(place.areaKm2) / 111.0;
    return std::clamp(sideDegrees * 4, 10.0, 200.0);
}

std::string MapPage::mapSvg(double lon, double lat, double width, bool pin,
                            std::string_view label, double pinLon, double pinLat) const {
    const double height = width * kMapHeight / kPageWidth;
    const double limit = mercatorDegrees(kMaxLat);
    double centreY = -mercatorDegrees(lat);
    if (height >= 2 * limit)
        centreY = 0;
    else
        centreY = std::clamp(centreY, -limit + height / 2, limit - height / 2);
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"";
    svg += number(lon - width / 2, 4) + " " + number(centreY - height / 2, 4) + " " +
           number(width, 4) + " " + number(height, 4);
    svg += "\" role=\"img\" aria-label=\"";
    svg += escapeHtml(label);
    svg += "\">";
    svg += worldDefs_;
    if (pin) {
        // Drawn in screen points, its tip on the place.
        const double scale = width / kPageWidth;
        // Near the 180th meridian the pin may lie on the map's copy beyond it.
        if (pinLon - lon > 180)
            pinLon -= 360;
        else if (pinLon - lon < -180)
            pinLon += 360;
        svg += "<g transform=\"translate(" + number(pinLon, 5) + " " +
               number(-mercatorDegrees(pinLat), 5) + ") scale(" + number(scale, 6) + ")\">";
        svg += "<path d=\"M0 0C-2-6-8-10-8-16a8 8 0 1 1 16 0c0 6-6 10-8 16z\" fill=\"#e0322d\" "
               "stroke=\"#ffffff\" stroke-width=\"1.5\"/>"
               "<circle cy=\"-16\" r=\"3\" fill=\"#ffffff\"/></g>";
    }
    svg += "</svg>";
    return svg;
}

std::string MapPage::render(std::string_view query, const std::optional<FoundPlace>& place) const {
    if (!place) {
        std::string body = "<header><h1>Place not found</h1><div class=\"sub\">";
        body += query.empty() ? std::string("Nothing was asked for.")
                              : "Nothing matches \u201C" + escapeHtml(query) + "\u201D.";
        body += "</div></header>";
        body += mapSvg(0, 20, 360, false, "World map", 0, 20);
        body += "<div class=\"hint\">Try a city or a country, such as Paris or Paris, Texas, "
                "or coordinates such as 12.972,77.595.</div>";
        return page("Not found", body);
    }

    std::string title, subtitle;
    switch (place->kind) {
    case FoundPlace::Kind::Place:
        title = place->name;
        for (const std::string* part : {&place->region, &place->country})
            if (!part->empty() && *part != title && *part != subtitle)
                subtitle += (subtitle.empty() ? "" : ", ") + *part;
        break;
    case FoundPlace::Kind::Country:
        title = place->name;
        subtitle = "Country";
        break;
    case FoundPlace::Kind::Coordinates:
        title = formatDegrees(place->lat) + ", " + formatDegrees(place->lon);
        subtitle = "Coordinates";
        break;
    }
    std::string body = "<header><h1>" + escapeHtml(title) + "</h1><div class=\"sub\">" +
                       escapeHtml(subtitle) + "</div></header>";
    // An area is framed around its box; the pin stays on its label point.
    double centreLon = place->lon, centreLat = place->lat;
    if (const auto& b = place->bbox) {
        centreLon = b->lonMin + b->lonSpan() / 2;
        if (centreLon > 180)
            centreLon -= 360;
        centreLat = std::clamp(
            std::atan(std::sinh((mercatorDegrees(b->latMin) + mercatorDegrees(b->latMax)) / 2 *
                                std::numbers::pi / 180)) *
                180 / std::numbers::pi,
            -kMaxLat, kMaxLat);
    }
    body += mapSvg(centreLon, centreLat, viewWidth(*place), true, "Map of " + title,
                   place->lon, place->lat);
    body += "<div class=\"coords\">" + coordinatesText(place->lat, place->lon) + "</div>";
    return page(title, body);
}

} // namespace terrabo::server

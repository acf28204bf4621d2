#include "server/LookupAnswer.h"

#include "server/PercentCoding.h"

#include <cmath>
#include <cstdio>

namespace terrabo::server {

std::string formatDegrees(double degrees) {
    char buffer[32];
    // Keeps "-0.00000" out of answers for places on the equator or meridian.
    const double rounded = std::round(degrees * 1e5) / 1e5;
    std::snprintf(buffer, sizeof buffer, "%.5f", rounded == 0 ? 0.0 : rounded);
    return buffer;
}

std::string placeDetails(const FoundPlace& place) {
    if (place.kind == FoundPlace::Kind::Coordinates)
        return formatDegrees(place.lat) + ", " + formatDegrees(place.lon);
    std::string details;
    const std::string* previous = nullptr;
    const std::string kind(placeKindName(place.placeKind));
    for (const std::string* part : {&place.name, &kind, &place.region, &place.country}) {
        // "Singapore, Singapore, Singapore" says it once, and "Texas, region,
        // Texas" too.
        if (part->empty() || (previous && *previous == *part) ||
            (part != &place.name && *part == place.name))
            continue;
        if (!details.empty())
            details += ", ";
        details += *part;
        previous = part;
    }
    return details;
}

std::string lookupAnswer(const std::optional<FoundPlace>& place) {
    if (!place)
        return kNotFoundAnswer;
    return formatDegrees(place->lat) + "|" + formatDegrees(place->lon) + "|" +
           percentEncodeDetails(placeDetails(*place));
}

} // namespace terrabo::server

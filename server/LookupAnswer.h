#pragma once

#include "server/PlaceQuery.h"

#include <optional>
#include <string>

namespace terrabo::server {

inline constexpr const char* kNotFoundAnswer = "N|N|N";

// "Paris, Île-de-France, France", "Lake Baikal, lake, Russia"; for
// coordinates the coordinates.
std::string placeDetails(const FoundPlace& place);

// Degrees with five decimals (about a metre), never in exponent form.
std::string formatDegrees(double degrees);

// "lat|lon|details" with the details percent-encoded, or kNotFoundAnswer.
std::string lookupAnswer(const std::optional<FoundPlace>& place);

} // namespace terrabo::server

#pragma once

#include "server/IndexFormat.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The generic words of geographic names ("Lake", "Mt.", "Mountains",
// "County"), which people type or leave out as they please.
namespace terrabo::server {

using KindMask = uint64_t;
static_assert(kPlaceKindCount <= 64);

inline constexpr KindMask kindBit(PlaceKind kind) {
    return KindMask{1} << static_cast<unsigned>(kind);
}

// Other names under which a feature of this kind is found: abbreviations
// written out and back ("Mt. Everest" -> "Mount Everest"), and the name
// without its generic word ("Everest", "Baikal", "Mediterranean"), unless
// what is left is too short or says nothing on its own ("Red" of "Red Sea").
std::vector<std::string> nameVariants(std::string_view name, PlaceKind kind);

struct GenericQuery {
    std::string rest; // folded
    KindMask kinds;   // what the generic word allows
};

// "Lake Titicaca" -> {"titicaca", lakes}, "Everest mountain" -> {"everest",
// peaks and ranges}; nothing when the text has no generic word to drop.
std::optional<GenericQuery> withoutGenericWord(std::string_view text);

} // namespace terrabo::server

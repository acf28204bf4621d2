#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace terrabo {

// A place the lookup service found: "lat|lon|details".
struct FoundPlace {
    float latitude = 0;  // degrees, north positive
    float longitude = 0; // degrees, east positive
    std::string details;
};

// Bodies larger than this are no answer: nothing that big is a place, and it
// would be kept in the history for good.
constexpr std::size_t kMaxAnswerBytes = 64 * 1024;

// The response body as text the history file can hold unchanged: one leading
// byte-order mark is dropped, byte sequences that are not UTF-8 and characters
// an XML file cannot carry become U+FFFD. Storing this text and evaluating it
// give the same verdict later.
std::string decodeAnswerText(std::string_view body);

// nullopt when the answer reports no place: a capital N in one of the first
// three fields, fewer than three fields, text that is not UTF-8, or U+FFFD
// (a damaged answer, as decodeAnswerText leaves it). Fields after the third
// are ignored.
std::optional<FoundPlace> evaluateAnswer(std::string_view answer);

// The decimal number at the start of the field, leading white space skipped and
// the rest ignored, in any locale. No number, or one a float cannot hold, reads
// as 0 so that the globe is never sent to an infinite or undefined angle.
float readLeadingFloat(std::string_view field);

} // namespace terrabo

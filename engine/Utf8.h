#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace terrabo::utf8 {

constexpr char32_t kInvalid = 0xFFFFFFFF;
constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF"; // U+FEFF

// One code point from s at i, advancing i; kInvalid for a malformed sequence,
// of which only its longest well-formed start is consumed (so one bad byte
// never swallows the good character after it). i < s.size() on entry.
char32_t next(std::string_view s, std::size_t& i);

bool isValid(std::string_view s);

// The characters an XML 1.0 document can hold at all, escaped or not.
bool xmlCanCarry(char32_t cp);

// The text with every malformed sequence, and every character XML cannot
// hold, replaced by U+FFFD: what a property list can store unchanged.
std::string storable(std::string_view s);

} // namespace terrabo::utf8

#pragma once

#include <string>
#include <string_view>

namespace terrabo::server {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
// Reads the code point at `pos` and moves past it; false leaves `pos` alone.
bool nextCodePoint(std::string_view text, size_t& pos, char32_t& codePoint);

bool isValidUtf8(std::string_view text);

void appendUtf8(std::string& out, char32_t codePoint);

} // namespace terrabo::server

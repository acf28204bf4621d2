#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace terrabo::server {

// The form in which names are compared: lower case, Latin letters without
// their accents (ø -> o, æ -> ae, ß -> ss, ł -> l), and no blanks or
// punctuation, so "São Paulo", "sao paulo" and "SaoPaulo" all meet.
// Letters of other scripts stay, Greek and Cyrillic in lower case.
// Nothing for text that is not valid UTF-8.
std::optional<std::string> foldText(std::string_view text);

} // namespace terrabo::server

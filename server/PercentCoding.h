#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace terrabo::server {

// Strict decoding of a query value: every '%' must start two hex digits.
// '+' is a blank, as forms write it.
std::optional<std::string> percentDecode(std::string_view encoded);

// Escapes all but ASCII letters, digits and "-._~", and the capital N too:
// a capital N in an answer's first fields means "not found" to the client.
std::string percentEncodeDetails(std::string_view text);

// The still-encoded value of the first parameter called `name` in the query
// part of a request target ("/path?a=1&b=2"); nothing when it is absent.
std::optional<std::string_view> rawQueryValue(std::string_view target, std::string_view name);

// The path of a request target, without its query.
std::string_view targetPath(std::string_view target);

} // namespace terrabo::server

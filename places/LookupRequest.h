#pragma once

#include <string>
#include <string_view>

namespace terrabo {

struct LookupRequest {
    std::string url;
    std::string body; // the address itself, as UTF-8
};

// Percent-escapes every byte of the UTF-8 text outside A-Z a-z 0-9 - . _ ~ and
// the bytes of alsoKept, so that the text stays one parameter value: it can add
// no parameter, fragment or path of its own.
std::string escapeQueryValue(std::string_view utf8, std::string_view alsoKept = {});

// base + "/zentra/decode.php?address=" + the escaped place text.
LookupRequest makeLookupRequest(std::string_view base, std::string_view placeText);

// base + "/maps?q=" + the escaped place text; commas stay, so coordinate texts
// read as they are typed.
std::string makeMapAddress(std::string_view base, std::string_view placeText);

} // namespace terrabo

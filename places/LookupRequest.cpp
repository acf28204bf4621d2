#include "places/LookupRequest.h"

namespace terrabo {

namespace {

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

// A base given with a trailing slash would otherwise double the path's.
std::string_view withoutTrailingSlashes(std::string_view base) {
    while (!base.empty() && base.back() == '/')
        base.remove_suffix(1);
    return base;
}

} // namespace

std::string escapeQueryValue(std::string_view utf8, std::string_view alsoKept) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(utf8.size() * 3);
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (isUnreserved(c) || alsoKept.find(ch) != std::string_view::npos) {
            escaped += ch;
        } else {
            escaped += '%';
            escaped += kHex[c >> 4];
            escaped += kHex[c & 0x0F];
        }
    }
    return escaped;
}

LookupRequest makeLookupRequest(std::string_view base, std::string_view placeText) {
    LookupRequest request;
    request.url = std::string(withoutTrailingSlashes(base)) + "/zentra/decode.php?address=" +
                  escapeQueryValue(placeText);
    request.body = request.url;
    return request;
}

std::string makeMapAddress(std::string_view base, std::string_view placeText) {
    return std::string(withoutTrailingSlashes(base)) + "/maps?q=" + escapeQueryValue(placeText, ",");
}

} // namespace terrabo

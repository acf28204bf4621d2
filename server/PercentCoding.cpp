#include "server/PercentCoding.h"

namespace terrabo::server {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isUnreserved(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

} // namespace

std::optional<std::string> percentDecode(std::string_view encoded) {
    std::string out;
    out.reserve(encoded.size());
    for (size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '+') {
            out += ' ';
        } else if (c != '%') {
            out += c;
        } else {
            if (encoded.size() - i < 3)
                return std::nullopt;
            const int high = hexValue(encoded[i + 1]);
            const int low = hexValue(encoded[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            out += static_cast<char>(high * 16 + low);
            i += 2;
        }
    }
    return out;
}

std::string percentEncodeDetails(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (const char c : text) {
        if (isUnreserved(c) && c != 'N') {
            out += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

std::optional<std::string_view> rawQueryValue(std::string_view target, std::string_view name) {
    const size_t question = target.find('?');
    if (question == std::string_view::npos)
        return std::nullopt;
    std::string_view query = target.substr(question + 1);
    if (const size_t hash = query.find('#'); hash != std::string_view::npos)
        query = query.substr(0, hash);
    while (!query.empty()) {
        const size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        const size_t eq = pair.find('=');
        if (pair.substr(0, eq) == name)
            return eq == std::string_view::npos ? std::string_view() : pair.substr(eq + 1);
        if (amp == std::string_view::npos)
            break;
        query.remove_prefix(amp + 1);
    }
    return std::nullopt;
}

std::string_view targetPath(std::string_view target) {
    return target.substr(0, target.find_first_of("?#"));
}

} // namespace terrabo::server

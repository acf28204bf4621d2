#include "engine/Utf8.h"

namespace terrabo::utf8 {

char32_t next(std::string_view s, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(s[i++]);
    if (lead < 0x80)
        return lead;
    int more = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    char32_t cp = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2;
        cp = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0; // overlong
        if (lead == 0xED)
            high = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3;
        cp = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90; // overlong
        if (lead == 0xF4)
            high = 0x8F; // beyond U+10FFFF
    } else {
        return kInvalid;
    }
    for (int k = 0; k < more; ++k) {
        if (i >= s.size())
            return kInvalid;
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < low || b > high)
            return kInvalid;
        low = 0x80;
        high = 0xBF;
        cp = (cp << 6) | (b & 0x3F);
        ++i;
    }
    return cp;
}

bool isValid(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            ++i;
            continue;
        }
        if (next(s, i) == kInvalid)
            return false;
    }
    return true;
}

bool xmlCanCarry(char32_t cp) {
    if (cp < 0x20)
        return cp == '\t' || cp == '\n' || cp == '\r';
    return cp != 0xFFFE && cp != 0xFFFF && cp != kInvalid;
}

std::string storable(std::string_view s) {
    std::string text;
    text.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t start = i;
        const char32_t cp = next(s, i);
        if (xmlCanCarry(cp))
            text.append(s.substr(start, i - start));
        else
            text += kReplacement;
    }
    return text;
}

} // namespace terrabo::utf8

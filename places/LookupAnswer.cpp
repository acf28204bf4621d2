#include "places/LookupAnswer.h"

#include <array>
#include <charconv>
#include <cmath>

namespace terrabo {

namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// One code point from s at i, advancing i; kInvalid for a malformed sequence,
// of which only its longest well-formed start is consumed (so one bad byte
// never swallows the good character after it).
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
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

bool xmlCanCarry(char32_t cp) {
    if (cp < 0x20)
        return cp == '\t' || cp == '\n' || cp == '\r';
    return cp != 0xFFFE && cp != 0xFFFF;
}

bool isValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();)
        if (nextCodePoint(s, i) == kInvalid)
            return false;
    return true;
}

bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

std::string decodeAnswerText(std::string_view body) {
    std::string text;
    text.reserve(body.size());
    for (std::size_t i = 0; i < body.size();) {
        const std::size_t start = i;
        const char32_t cp = nextCodePoint(body, i);
        if (cp == kInvalid || !xmlCanCarry(cp))
            text += kReplacement;
        else
            text.append(body.substr(start, i - start));
    }
    return text;
}

float readLeadingFloat(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && isCSpace(field[i]))
        ++i;
    // from_chars takes a minus but not a plus; "+-1" is no number either way.
    if (i < field.size() && field[i] == '+' && (i + 1 >= field.size() || field[i + 1] != '-'))
        ++i;
    const char* first = field.data() + i;
    const char* last = field.data() + field.size();
    float value = 0;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec != std::errc{} || !std::isfinite(value))
        return 0;
    return value;
}

std::optional<FoundPlace> evaluateAnswer(std::string_view answer) {
    if (!isValidUtf8(answer) || answer.find(kReplacement) != std::string_view::npos)
        return std::nullopt;
    std::array<std::string_view, 3> fields;
    std::size_t from = 0;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (from > answer.size())
            return std::nullopt; // fewer than three fields
        const std::size_t bar = answer.find('|', from);
        const std::size_t to = bar == std::string_view::npos ? answer.size() : bar;
        fields[k] = answer.substr(from, to - from);
        from = to + 1;
    }
    for (std::string_view field : fields)
        if (field.find('N') != std::string_view::npos)
            return std::nullopt;
    return FoundPlace{readLeadingFloat(fields[0]), readLeadingFloat(fields[1]),
                      std::string(fields[2])};
}

} // namespace terrabo

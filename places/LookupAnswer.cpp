#include "places/LookupAnswer.h"

#include "engine/Utf8.h"

#include <array>
#include <charconv>
#include <cmath>

namespace terrabo {

namespace {

bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

std::string decodeAnswerText(std::string_view body) {
    // As UTF-8 decoders do: a byte-order mark is no part of the text.
    if (body.starts_with(utf8::kByteOrderMark))
        body.remove_prefix(utf8::kByteOrderMark.size());
    return utf8::storable(body);
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
    if (!utf8::isValid(answer) || answer.find(utf8::kReplacement) != std::string_view::npos)
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

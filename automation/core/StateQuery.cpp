#include "automation/core/StateQuery.h"

#include <charconv>
#include <cmath>

namespace terrabo::automation {

namespace {

const Json& nullValue() {
    static const Json value;
    return value;
}

std::optional<std::size_t> toIndex(std::string_view step) {
    std::size_t index = 0;
    const auto result = std::from_chars(step.data(), step.data() + step.size(), index);
    if (step.empty() || result.ec != std::errc() || result.ptr != step.data() + step.size())
        return std::nullopt;
    return index;
}

} // namespace

const Json& valueAtPath(const Json& root, std::string_view path) {
    const Json* node = &root;
    while (true) {
        const std::size_t dot = path.find('.');
        const std::string_view step = path.substr(0, dot);
        if (node->isObject()) {
            node = node->find(step);
        } else if (node->isArray()) {
            std::optional<std::size_t> index = toIndex(step);
            node = index && *index < node->items().size() ? &node->items()[*index] : nullptr;
        } else {
            node = nullptr;
        }
        if (!node)
            return nullValue();
        if (dot == std::string_view::npos)
            return *node;
        path.remove_prefix(dot + 1);
    }
}

bool jsonMatches(const Json& expected, const Json& actual) {
    if (expected.type() != actual.type())
        return false;
    switch (expected.type()) {
    case Json::Type::Number:
        return std::fabs(expected.asNumber() - actual.asNumber()) <= kNumberTolerance;
    case Json::Type::Array: {
        const Json::Array& a = expected.items();
        const Json::Array& b = actual.items();
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (!jsonMatches(a[i], b[i]))
                return false;
        return true;
    }
    case Json::Type::Object:
        if (expected.members().size() != actual.members().size())
            return false;
        for (const Json::Member& member : expected.members()) {
            const Json* other = actual.find(member.first);
            if (!other || !jsonMatches(member.second, *other))
                return false;
        }
        return true;
    default:
        return expected == actual;
    }
}

bool jsonContains(const Json& container, const Json& value) {
    if (container.isArray()) {
        for (const Json& item : container.items())
            if (jsonMatches(value, item))
                return true;
        return false;
    }
    if (container.isString() && value.isString())
        return container.asString().find(value.asString()) != std::string::npos;
    return false;
}

std::size_t utf8CodePoints(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

std::optional<std::size_t> jsonLength(const Json& value) {
    if (value.isArray())
        return value.items().size();
    if (value.isString())
        return utf8CodePoints(value.asString());
    return std::nullopt;
}

} // namespace terrabo::automation

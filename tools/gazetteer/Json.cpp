#include "tools/gazetteer/Json.h"

namespace terrabo::gazetteer {
namespace {

// Deeper than any data package; a bound keeps a hostile file from exhausting
// the stack.
constexpr int kMaxDepth = 64;

struct TooDeep {};

} // namespace

std::optional<Json> parseJson(std::string_view text, size_t* errorAt) {
    try {
        return Json::parse(text, [](int depth, Json::parse_event_t, Json&) {
            if (depth > kMaxDepth)
                throw TooDeep{};
            return true;
        });
    } catch (const Json::parse_error& e) {
        if (errorAt)
            *errorAt = e.byte;
    } catch (const TooDeep&) {
        if (errorAt)
            *errorAt = 0;
    }
    return std::nullopt;
}

const Json* member(const Json& object, const char* key) {
    if (!object.is_object())
        return nullptr;
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

std::string textAt(const Json& object, const char* key) {
    const Json* value = member(object, key);
    return value && value->is_string() ? value->get<std::string>() : std::string();
}

double numberAt(const Json& array, size_t index, double fallback) {
    if (!array.is_array() || index >= array.size() || !array[index].is_number())
        return fallback;
    return array[index].get<double>();
}

} // namespace terrabo::gazetteer

#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <string_view>

// The data packages' JSON, read with nlohmann::json.
namespace terrabo::gazetteer {

using Json = nlohmann::json;

// Nothing, and the byte offset in `errorAt`, for malformed or absurdly deep
// input.
std::optional<Json> parseJson(std::string_view text, size_t* errorAt = nullptr);

// The string at `key` of an object, or "" when there is none.
std::string textAt(const Json& object, const char* key);
// The member `key` of an object, or nullptr.
const Json* member(const Json& object, const char* key);
// The number at `index` of an array, or `fallback`.
double numberAt(const Json& array, size_t index, double fallback = 0);

} // namespace terrabo::gazetteer

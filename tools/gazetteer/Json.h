#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Just enough JSON for the data packages the gazetteer is built from.
namespace terrabo::gazetteer {

struct Json {
    enum class Type { Null, Bool, Number, String, Array, Object };
    Type type = Type::Null;
    bool boolean = false;
    double number = 0;
    std::string string;
    std::vector<Json> array;
    std::map<std::string, Json> object;

    const Json* find(const std::string& key) const;
    // The string at `key`, or "" when there is none.
    std::string text(const std::string& key) const;
};

// Nothing, and the byte offset in `errorAt`, for malformed input.
std::optional<Json> parseJson(std::string_view text, size_t* errorAt = nullptr);

} // namespace terrabo::gazetteer

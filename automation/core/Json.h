#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace terrabo::automation {

// A JSON value for the state object and for expected values in scripts.
// Objects keep their keys in insertion order so printed state reads as built.
class Json {
  public:
    enum class Type { Null, Bool, Number, String, Array, Object };
    using Array = std::vector<Json>;
    using Member = std::pair<std::string, Json>;
    using Object = std::vector<Member>;

    Json() = default;
    Json(std::nullptr_t) {}
    Json(bool value) : type_(Type::Bool), bool_(value) {}
    Json(int value) : Json(static_cast<double>(value)) {}
    Json(long value) : Json(static_cast<double>(value)) {}
    Json(long long value) : Json(static_cast<double>(value)) {}
    Json(unsigned value) : Json(static_cast<double>(value)) {}
    Json(unsigned long value) : Json(static_cast<double>(value)) {}
    Json(unsigned long long value) : Json(static_cast<double>(value)) {}
    Json(double value) : type_(Type::Number), number_(value) {}
    // The program's own 32-bit values print with 9 significant digits, enough
    // to read back the same float and no noise digits of a double.
    Json(float value) : type_(Type::Number), number_(value), float32_(true) {}
    Json(const char* value) : type_(Type::String), string_(value) {}
    Json(std::string value) : type_(Type::String), string_(std::move(value)) {}
    Json(std::string_view value) : type_(Type::String), string_(value) {}

    static Json array(std::initializer_list<Json> items = {});
    static Json object(std::initializer_list<Member> members = {});

    Type type() const { return type_; }
    bool isNull() const { return type_ == Type::Null; }
    bool isBool() const { return type_ == Type::Bool; }
    bool isNumber() const { return type_ == Type::Number; }
    bool isString() const { return type_ == Type::String; }
    bool isArray() const { return type_ == Type::Array; }
    bool isObject() const { return type_ == Type::Object; }

    bool asBool() const { return bool_; }
    double asNumber() const { return number_; }
    const std::string& asString() const { return string_; }
    const Array& items() const { return items_; }
    const Object& members() const { return members_; }

    // Appends to an array; any other value becomes an empty array first.
    Json& push(Json value);
    // Sets a key of an object, in place when it exists; any other value
    // becomes an empty object first.
    Json& set(std::string_view key, Json value);
    // Null when this is no object or has no such key.
    const Json* find(std::string_view key) const;
    Json* find(std::string_view key);

    // One line, no trailing newline. Non-finite numbers print as null.
    std::string dump() const;
    void dumpTo(std::string& out) const;

    // Strict JSON: one value, surrounding whitespace allowed, nothing else.
    static std::optional<Json> parse(std::string_view text, std::string* error = nullptr);

    // Exact equality; object key order does not matter.
    friend bool operator==(const Json& a, const Json& b);

  private:
    Type type_ = Type::Null;
    bool bool_ = false;
    double number_ = 0.0;
    bool float32_ = false;
    std::string string_;
    Array items_;
    Object members_;
};

// Appends text as a quoted JSON string. Control characters are escaped;
// bytes that are not valid UTF-8 become U+FFFD so the line stays readable by
// any JSON reader.
void appendJsonString(std::string& out, std::string_view text);

} // namespace terrabo::automation

#include "automation/core/Json.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace terrabo::automation {

Json Json::array(std::initializer_list<Json> items) {
    Json value;
    value.type_ = Type::Array;
    value.items_.assign(items.begin(), items.end());
    return value;
}

Json Json::object(std::initializer_list<Member> members) {
    Json value;
    value.type_ = Type::Object;
    for (const Member& member : members)
        value.set(member.first, member.second);
    return value;
}

Json& Json::push(Json value) {
    if (type_ != Type::Array)
        *this = array();
    items_.push_back(std::move(value));
    return *this;
}

Json& Json::set(std::string_view key, Json value) {
    if (type_ != Type::Object)
        *this = object();
    if (Json* existing = find(key))
        *existing = std::move(value);
    else
        members_.emplace_back(std::string(key), std::move(value));
    return *this;
}

const Json* Json::find(std::string_view key) const {
    if (type_ != Type::Object)
        return nullptr;
    for (const Member& member : members_)
        if (member.first == key)
            return &member.second;
    return nullptr;
}

Json* Json::find(std::string_view key) {
    return const_cast<Json*>(static_cast<const Json&>(*this).find(key));
}

bool operator==(const Json& a, const Json& b) {
    if (a.type_ != b.type_)
        return false;
    switch (a.type_) {
    case Json::Type::Null:
        return true;
    case Json::Type::Bool:
        return a.bool_ == b.bool_;
    case Json::Type::Number:
        return a.number_ == b.number_;
    case Json::Type::String:
        return a.string_ == b.string_;
    case Json::Type::Array:
        return a.items_ == b.items_;
    case Json::Type::Object:
        if (a.members_.size() != b.members_.size())
            return false;
        for (const Json::Member& member : a.members_) {
            const Json* other = b.find(member.first);
            if (!other || !(member.second == *other))
                return false;
        }
        return true;
    }
    return false;
}

// ---- printing -------------------------------------------------------------

namespace {

// std::to_chars, unlike printf, ignores the process locale: the GUI toolkit
// adopts the user's locale, which may use a decimal comma.
void appendNumber(std::string& out, double value, bool float32) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char buffer[64];
    std::to_chars_result result;
    if (value == std::trunc(value) && std::fabs(value) < 1e15) {
        // Whole numbers print as integers; also turns -0 into 0.
        result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value));
    } else if (float32) {
        result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value),
                               std::chars_format::general, 9);
    } else {
        result = std::to_chars(buffer, buffer + sizeof buffer, value); // shortest round trip
    }
    out.append(buffer, result.ptr);
}

// Length of the valid UTF-8 sequence at text[i], or 0 when it is not one.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length;
    std::uint32_t code;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF)
        return 0;
    return length;
}

} // namespace

void appendJsonString(std::string& out, std::string_view text) {
    static const char* const hex = "0123456789abcdef";
    out += '"';
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (c < 0x20) {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 0x0F];
            ++i;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if (std::size_t length = utf8SequenceLength(text, i)) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    out += '"';
}

void Json::dumpTo(std::string& out) const {
    switch (type_) {
    case Type::Null:
        out += "null";
        break;
    case Type::Bool:
        out += bool_ ? "true" : "false";
        break;
    case Type::Number:
        appendNumber(out, number_, float32_);
        break;
    case Type::String:
        appendJsonString(out, string_);
        break;
    case Type::Array:
        out += '[';
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (i)
                out += ", ";
            items_[i].dumpTo(out);
        }
        out += ']';
        break;
    case Type::Object:
        out += '{';
        for (std::size_t i = 0; i < members_.size(); ++i) {
            if (i)
                out += ", ";
            appendJsonString(out, members_[i].first);
            out += ": ";
            members_[i].second.dumpTo(out);
        }
        out += '}';
        break;
    }
}

std::string Json::dump() const {
    std::string out;
    dumpTo(out);
    return out;
}

// ---- parsing --------------------------------------------------------------

namespace {

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    std::optional<Json> document(std::string* error) {
        std::optional<Json> value = parseValue(0);
        if (value) {
            skipSpace();
            if (pos_ != text_.size()) {
                fail("unexpected text after the value");
                value.reset();
            }
        }
        if (!value && error)
            *error = error_ + " at offset " + std::to_string(pos_);
        return value;
    }

  private:
    // Deep enough for any state; bounds the recursion on hostile input.
    static constexpr int kMaxDepth = 200;

    std::optional<Json> fail(const char* message) {
        if (error_.empty())
            error_ = message;
        return std::nullopt;
    }

    void skipSpace() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                       text_[pos_] == '\n' || text_[pos_] == '\r'))
            ++pos_;
    }

    bool consumeWord(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word)
            return false;
        pos_ += word.size();
        return true;
    }

    std::optional<Json> parseValue(int depth) {
        if (depth > kMaxDepth)
            return fail("nested too deeply");
        skipSpace();
        if (pos_ >= text_.size())
            return fail("missing value");
        const char c = text_[pos_];
        if (c == '{')
            return parseObject(depth);
        if (c == '[')
            return parseArray(depth);
        if (c == '"') {
            std::string s;
            if (!parseString(s))
                return std::nullopt;
            return Json(std::move(s));
        }
        if (c == '-' || (c >= '0' && c <= '9'))
            return parseNumber();
        if (consumeWord("true"))
            return Json(true);
        if (consumeWord("false"))
            return Json(false);
        if (consumeWord("null"))
            return Json();
        return fail("not a JSON value");
    }

    std::optional<Json> parseArray(int depth) {
        ++pos_; // [
        Json array = Json::array();
        skipSpace();
        if (pos_ < text_.size() && text_[pos_] == ']') {
            ++pos_;
            return array;
        }
        for (;;) {
            std::optional<Json> item = parseValue(depth + 1);
            if (!item)
                return std::nullopt;
            array.push(std::move(*item));
            skipSpace();
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
            } else if (pos_ < text_.size() && text_[pos_] == ']') {
                ++pos_;
                return array;
            } else {
                return fail("expected ',' or ']'");
            }
        }
    }

    std::optional<Json> parseObject(int depth) {
        ++pos_; // {
        Json object = Json::object();
        skipSpace();
        if (pos_ < text_.size() && text_[pos_] == '}') {
            ++pos_;
            return object;
        }
        for (;;) {
            skipSpace();
            if (pos_ >= text_.size() || text_[pos_] != '"')
                return fail("expected a key string");
            std::string key;
            if (!parseString(key))
                return std::nullopt;
            skipSpace();
            if (pos_ >= text_.size() || text_[pos_] != ':')
                return fail("expected ':'");
            ++pos_;
            std::optional<Json> value = parseValue(depth + 1);
            if (!value)
                return std::nullopt;
            object.set(key, std::move(*value));
            skipSpace();
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
            } else if (pos_ < text_.size() && text_[pos_] == '}') {
                ++pos_;
                return object;
            } else {
                return fail("expected ',' or '}'");
            }
        }
    }

    std::optional<Json> parseNumber() {
        const std::size_t start = pos_;
        const auto digits = [&] {
            const std::size_t from = pos_;
            while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9')
                ++pos_;
            return pos_ - from;
        };
        if (text_[pos_] == '-')
            ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '0')
            ++pos_;
        else if (digits() == 0)
            return fail("bad number");
        if (pos_ < text_.size() && text_[pos_] == '.') {
            ++pos_;
            if (digits() == 0)
                return fail("bad number");
        }
        if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
            ++pos_;
            if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-'))
                ++pos_;
            if (digits() == 0)
                return fail("bad number");
        }
        double value = 0.0;
        const char* first = text_.data() + start;
        const char* last = text_.data() + pos_;
        const auto result = std::from_chars(first, last, value);
        if (result.ec != std::errc() || result.ptr != last)
            return fail("number out of range");
        return Json(value);
    }

    bool readHex4(std::uint32_t& code) {
        if (pos_ + 4 > text_.size()) {
            fail("short \\u escape");
            return false;
        }
        code = 0;
        for (int k = 0; k < 4; ++k) {
            const char h = text_[pos_++];
            code <<= 4;
            if (h >= '0' && h <= '9')
                code |= h - '0';
            else if (h >= 'a' && h <= 'f')
                code |= h - 'a' + 10;
            else if (h >= 'A' && h <= 'F')
                code |= h - 'A' + 10;
            else {
                fail("bad \\u escape");
                return false;
            }
        }
        return true;
    }

    static void appendUtf8(std::string& out, std::uint32_t code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool parseString(std::string& out) {
        ++pos_; // opening quote
        while (pos_ < text_.size()) {
            const unsigned char c = static_cast<unsigned char>(text_[pos_]);
            if (c == '"') {
                ++pos_;
                return true;
            }
            if (c < 0x20) {
                fail("control character in string");
                return false;
            }
            if (c != '\\') {
                out += static_cast<char>(c);
                ++pos_;
                continue;
            }
            if (++pos_ >= text_.size())
                break;
            const char e = text_[pos_++];
            switch (e) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '/':
                out += '/';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                std::uint32_t code;
                if (!readHex4(code))
                    return false;
                if (code >= 0xD800 && code <= 0xDBFF) {
                    std::uint32_t low;
                    if (!consumeWord("\\u") || !readHex4(low) || low < 0xDC00 || low > 0xDFFF) {
                        fail("unpaired surrogate");
                        return false;
                    }
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                } else if (code >= 0xDC00 && code <= 0xDFFF) {
                    fail("unpaired surrogate");
                    return false;
                }
                appendUtf8(out, code);
                break;
            }
            default:
                fail("bad escape");
                return false;
            }
        }
        fail("unterminated string");
        return false;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::string error_;
};

} // namespace

std::optional<Json> Json::parse(std::string_view text, std::string* error) {
    return Parser(text).document(error);
}

} // namespace terrabo::automation

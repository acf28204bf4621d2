#include "tools/gazetteer/Json.h"

#include <charconv>
#include <cstdlib>

namespace terrabo::gazetteer {
namespace {

void appendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

class Parser {
  public:
    explicit Parser(std::string_view s) : s_(s) {}

    bool parseDocument(Json& out) {
        if (!value(out, 0))
            return false;
        blanks();
        return pos_ == s_.size();
    }
    size_t position() const { return pos_; }

  private:
    static constexpr int kMaxDepth = 64;

    void blanks() {
        while (pos_ < s_.size() &&
               (s_[pos_] == ' ' || s_[pos_] == '\n' || s_[pos_] == '\r' || s_[pos_] == '\t'))
            ++pos_;
    }
    bool eat(char c) {
        blanks();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool literal(std::string_view word) {
        if (s_.substr(pos_, word.size()) != word)
            return false;
        pos_ += word.size();
        return true;
    }

    bool hex4(unsigned& out) {
        if (s_.size() - pos_ < 4)
            return false;
        const auto [end, ec] = std::from_chars(s_.data() + pos_, s_.data() + pos_ + 4, out, 16);
        if (ec != std::errc() || end != s_.data() + pos_ + 4)
            return false;
        pos_ += 4;
        return true;
    }

    bool string(std::string& out) {
        if (!eat('"'))
            return false;
        while (pos_ < s_.size()) {
            const char c = s_[pos_++];
            if (c == '"')
                return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= s_.size())
                return false;
            const char e = s_[pos_++];
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
                unsigned cp;
                if (!hex4(cp))
                    return false;
                if (cp >= 0xD800 && cp <= 0xDBFF && literal("\\u")) {
                    unsigned low;
                    if (!hex4(low) || low < 0xDC00 || low > 0xDFFF)
                        return false;
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                appendUtf8(out, cp);
                break;
            }
            default:
                return false;
            }
        }
        return false;
    }

    bool value(Json& out, int depth) {
        if (depth > kMaxDepth)
            return false;
        blanks();
        if (pos_ >= s_.size())
            return false;
        const char c = s_[pos_];
        if (c == '{') {
            ++pos_;
            out.type = Json::Type::Object;
            if (eat('}'))
                return true;
            do {
                std::string key;
                if (!string(key) || !eat(':'))
                    return false;
                Json member;
                if (!value(member, depth + 1))
                    return false;
                out.object.insert_or_assign(std::move(key), std::move(member));
            } while (eat(','));
            return eat('}');
        }
        if (c == '[') {
            ++pos_;
            out.type = Json::Type::Array;
            if (eat(']'))
                return true;
            do {
                out.array.emplace_back();
                if (!value(out.array.back(), depth + 1))
                    return false;
            } while (eat(','));
            return eat(']');
        }
        if (c == '"') {
            out.type = Json::Type::String;
            return string(out.string);
        }
        if (literal("true")) {
            out.type = Json::Type::Bool;
            out.boolean = true;
            return true;
        }
        if (literal("false")) {
            out.type = Json::Type::Bool;
            return true;
        }
        if (literal("null"))
            return true;
        out.type = Json::Type::Number;
        const auto [end, ec] = std::from_chars(s_.data() + pos_, s_.data() + s_.size(), out.number);
        if (ec != std::errc())
            return false;
        pos_ = static_cast<size_t>(end - s_.data());
        return true;
    }

    std::string_view s_;
    size_t pos_ = 0;
};

} // namespace

const Json* Json::find(const std::string& key) const {
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &it->second;
}

std::string Json::text(const std::string& key) const {
    const Json* v = find(key);
    return v && v->type == Type::String ? v->string : std::string();
}

std::optional<Json> parseJson(std::string_view text, size_t* errorAt) {
    Parser parser(text);
    Json out;
    if (!parser.parseDocument(out)) {
        if (errorAt)
            *errorAt = parser.position();
        return std::nullopt;
    }
    return out;
}

} // namespace terrabo::gazetteer

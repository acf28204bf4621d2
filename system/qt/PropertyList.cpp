#include "system/qt/PropertyList.h"

#include "engine/Utf8.h"

#include <cstdint>

namespace terrabo::plist {

namespace {

constexpr std::string_view kHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n";

// The root may carry version and the odd namespace; a flood of attributes is
// an attack on whoever reads them.
constexpr int kMaxRootAttributes = 8;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool isNameChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
           u == ':' || u == '-' || u == '.' || u >= 0x80;
}

// XML's Char production, for character references.
bool isXmlChar(std::uint32_t cp) {
    if (cp < 0x20)
        return cp == '\t' || cp == '\n' || cp == '\r';
    return cp <= 0xD7FF || (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF);
}

void appendUtf8(std::string& out, std::uint32_t cp) {
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

// Well-formed UTF-8 made only of characters XML allows.
bool isXmlText(std::string_view d) {
    for (std::size_t i = 0; i < d.size();) {
        const auto c = static_cast<unsigned char>(d[i]);
        if (c >= 0x20 && c < 0x80) {
            ++i;
            continue;
        }
        if (!utf8::xmlCanCarry(utf8::next(d, i)))
            return false;
    }
    return true;
}

// A pull reader over the few constructs a property list of strings needs.
// Every step moves forward or fails, so the work is linear in the input.
class Reader {
  public:
    explicit Reader(std::string_view d) : d_(d) {}

    bool document(std::vector<std::string>& items) {
        eat(utf8::kByteOrderMark);
        if (at("<?xml") && i_ + 5 < d_.size() && isSpace(d_[i_ + 5]) && !declaration())
            return false;
        if (!misc())
            return false;
        if (eat("<!DOCTYPE") && (!doctype() || !misc()))
            return false;

        Tag root;
        if (!startTag(root))
            return false;
        const bool wrapped = root.name == "plist";
        Tag array = root;
        if (wrapped && (root.empty || !misc() || !startTag(array)))
            return false;
        if (array.name != "array" || array.attributes > 0)
            return false;
        if (!array.empty && !strings(items))
            return false;
        if (wrapped && (!misc() || !endTag("plist")))
            return false;
        return misc() && i_ == d_.size();
    }

  private:
    struct Tag {
        std::string_view name;
        bool empty = false;
        int attributes = 0;
    };

    bool at(std::string_view s) const { return d_.substr(i_).starts_with(s); }
    bool eat(std::string_view s) {
        if (!at(s))
            return false;
        i_ += s.size();
        return true;
    }
    void skipSpace() {
        while (i_ < d_.size() && isSpace(d_[i_]))
            ++i_;
    }

    std::string_view name() {
        const std::size_t start = i_;
        while (i_ < d_.size() && isNameChar(d_[i_]))
            ++i_;
        return d_.substr(start, i_ - start);
    }

    // Blanks, comments and processing instructions between elements.
    bool misc() {
        while (true) {
            skipSpace();
            if (eat("<!--")) {
                if (!comment())
                    return false;
            } else if (eat("<?")) {
                if (!instruction())
                    return false;
            } else {
                return true;
            }
        }
    }

    bool comment() {
        const std::size_t dashes = d_.find("--", i_);
        if (dashes == std::string_view::npos || d_.substr(dashes, 3) != "-->")
            return false;
        i_ = dashes + 3;
        return true;
    }

    bool instruction() {
        const std::string_view target = name();
        if (target.empty() || (target.size() == 3 && (target[0] | 0x20) == 'x' &&
                               (target[1] | 0x20) == 'm' && (target[2] | 0x20) == 'l'))
            return false; // the declaration belongs at the very start
        const std::size_t end = d_.find("?>", i_);
        if (end == std::string_view::npos)
            return false;
        i_ = end + 2;
        return true;
    }

    bool quotedValue(std::string_view& value) {
        if (i_ >= d_.size() || (d_[i_] != '"' && d_[i_] != '\''))
            return false;
        const std::size_t close = d_.find(d_[i_], i_ + 1);
        if (close == std::string_view::npos)
            return false;
        value = d_.substr(i_ + 1, close - i_ - 1);
        i_ = close + 1;
        // Our files need no references in attributes.
        return value.find_first_of("<&") == std::string_view::npos;
    }

    bool declaration() {
        i_ += 5;
        while (true) {
            const std::size_t before = i_;
            skipSpace();
            if (eat("?>"))
                return true;
            if (i_ == before)
                return false;
            const std::string_view key = name();
            std::string_view value;
            skipSpace();
            if (key.empty() || !eat("="))
                return false;
            skipSpace();
            if (!quotedValue(value))
                return false;
            if (key == "encoding" && value != "UTF-8" && value != "utf-8" && value != "UTF8" &&
                value != "utf8")
                return false;
        }
    }

    // A name and an external identifier at most: an internal subset is where
    // entities are declared, and those only serve to blow a small file up.
    bool doctype() {
        while (i_ < d_.size()) {
            const char c = d_[i_];
            if (c == '>') {
                ++i_;
                return true;
            }
            if (c == '[' || c == '<')
                return false;
            if (c == '"' || c == '\'') {
                const std::size_t close = d_.find(c, i_ + 1);
                if (close == std::string_view::npos)
                    return false;
                i_ = close + 1;
            } else {
                ++i_;
            }
        }
        return false;
    }

    bool startTag(Tag& tag) {
        if (!eat("<"))
            return false;
        tag.name = name();
        if (tag.name.empty())
            return false;
        const int limit = tag.name == "plist" ? kMaxRootAttributes : 0;
        tag.attributes = 0;
        while (true) {
            const std::size_t before = i_;
            skipSpace();
            if (eat("/>")) {
                tag.empty = true;
                return true;
            }
            if (eat(">")) {
                tag.empty = false;
                return true;
            }
            if (i_ == before || ++tag.attributes > limit)
                return false;
            std::string_view value;
            if (name().empty())
                return false;
            skipSpace();
            if (!eat("="))
                return false;
            skipSpace();
            if (!quotedValue(value))
                return false;
        }
    }

    bool endTag(std::string_view expected) {
        if (!eat("</") || name() != expected)
            return false;
        skipSpace();
        return eat(">");
    }

    // The entries of an array, the reader just inside it; ends past </array>.
    bool strings(std::vector<std::string>& items) {
        while (true) {
            if (!misc())
                return false;
            if (at("</"))
                return endTag("array");
            Tag tag;
            if (!startTag(tag) || tag.name != "string")
                return false;
            std::string& item = items.emplace_back();
            if (!tag.empty && !text(item))
                return false;
        }
    }

    // Line ends read as XML reads them: CR LF and a lone CR become LF.
    void appendNormalised(std::string& out, std::string_view piece) {
        std::size_t from = 0;
        for (std::size_t cr = piece.find('\r'); cr != std::string_view::npos;
             cr = piece.find('\r', from)) {
            out.append(piece.substr(from, cr - from));
            out += '\n';
            from = cr + 1;
            if (from < piece.size() && piece[from] == '\n')
                ++from;
        }
        out.append(piece.substr(from));
    }

    // The content of a <string>, the reader just inside it; ends past </string>.
    bool text(std::string& out) {
        while (true) {
            const std::size_t stop = d_.find_first_of("<&", i_);
            if (stop == std::string_view::npos)
                return false;
            appendNormalised(out, d_.substr(i_, stop - i_));
            i_ = stop;
            if (d_[i_] == '&') {
                if (!reference(out))
                    return false;
            } else if (at("</")) {
                return endTag("string");
            } else if (eat("<!--")) {
                if (!comment())
                    return false;
            } else if (eat("<![CDATA[")) {
                const std::size_t end = d_.find("]]>", i_);
                if (end == std::string_view::npos)
                    return false;
                appendNormalised(out, d_.substr(i_, end - i_));
                i_ = end + 3;
            } else if (eat("<?")) {
                if (!instruction())
                    return false;
            } else {
                return false; // markup inside the text
            }
        }
    }

    bool reference(std::string& out) {
        ++i_; // '&'
        const std::size_t semicolon = d_.find(';', i_);
        if (semicolon == std::string_view::npos || semicolon - i_ > 10)
            return false;
        const std::string_view ref = d_.substr(i_, semicolon - i_);
        i_ = semicolon + 1;
        static constexpr std::pair<std::string_view, char> kPredefined[] = {
            {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"apos", '\''}, {"quot", '"'}};
        for (const auto& [entity, c] : kPredefined)
            if (ref == entity) {
                out += c;
                return true;
            }
        if (ref.size() < 2 || ref[0] != '#')
            return false; // an entity only a document type could declare
        const bool hex = ref[1] == 'x';
        const std::string_view digits = ref.substr(hex ? 2 : 1);
        if (digits.empty())
            return false;
        std::uint32_t cp = 0;
        for (const char c : digits) {
            int v = -1;
            if (c >= '0' && c <= '9')
                v = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                v = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                v = c - 'A' + 10;
            if (v < 0)
                return false;
            cp = cp * (hex ? 16 : 10) + static_cast<std::uint32_t>(v);
            if (cp > 0x10FFFF)
                return false;
        }
        if (!isXmlChar(cp))
            return false;
        appendUtf8(out, cp);
        return true;
    }

    std::string_view d_;
    std::size_t i_ = 0;
};

void appendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        // A bare CR would come back as LF; a reference keeps it.
        case '\r': out += "&#13;"; break;
        default: out += c;
        }
    }
}

} // namespace

std::optional<std::vector<std::string>> readStringArray(std::string_view document) {
    if (document.size() > kMaxDocumentBytes || !isXmlText(document))
        return std::nullopt;
    std::vector<std::string> items;
    if (!Reader(document).document(items))
        return std::nullopt;
    return items;
}

std::string writeStringArray(const std::vector<std::string>& items) {
    std::string out(kHeader);
    out += "<plist version=\"1.0\">\n<array>\n";
    for (const std::string& item : items) {
        out += "\t<string>";
        appendEscaped(out, utf8::storable(item));
        out += "</string>\n";
    }
    out += "</array>\n</plist>\n";
    return out;
}

} // namespace terrabo::plist

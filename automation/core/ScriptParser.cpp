#include "automation/core/ScriptCommand.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <optional>

namespace terrabo::automation {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view trim(std::string_view s) {
    s = trimLeft(s);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Reads the words of a line one by one, and what is left of it.
class Words {
  public:
    explicit Words(std::string_view line) : rest_(line) {}

    std::optional<std::string_view> next() {
        rest_ = trimLeft(rest_);
        if (rest_.empty())
            return std::nullopt;
        std::size_t end = 0;
        while (end < rest_.size() && !isBlank(rest_[end]))
            ++end;
        std::string_view word = rest_.substr(0, end);
        rest_.remove_prefix(end);
        return word;
    }
    bool atEnd() const { return trimLeft(rest_).empty(); }
    std::string_view rest() const { return trim(rest_); }

  private:
    std::string_view rest_;
};

struct Failure {
    std::string message;
};

std::string quoted(std::string_view s) {
    return "'" + std::string(s) + "'";
}

// from_chars: the same digits whatever the process locale.
std::optional<long long> toInteger(std::string_view word) {
    long long value = 0;
    const auto result = std::from_chars(word.data(), word.data() + word.size(), value);
    if (result.ec != std::errc() || result.ptr != word.data() + word.size())
        return std::nullopt;
    return value;
}

std::optional<double> toReal(std::string_view word) {
    double value = 0;
    const auto result =
        std::from_chars(word.data(), word.data() + word.size(), value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != word.data() + word.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Parses one command; each step either fills the command or throws a Failure
// that becomes the line's error (parsing runs between frames, never inside one).
class LineParser {
  public:
    LineParser(std::string_view name, std::string_view usage, Words& words)
        : name_(name), usage_(usage), words_(words) {}

    std::string_view word(const char* what) {
        std::optional<std::string_view> w = words_.next();
        if (!w)
            fail("missing " + std::string(what));
        return *w;
    }
    std::optional<std::string_view> optionalWord() { return words_.next(); }
    void end() {
        if (!words_.atEnd())
            fail("unexpected " + quoted(words_.rest()));
    }

    long long integer(std::string_view w, const char* what, long long min, long long max) {
        std::optional<long long> value = toInteger(w);
        if (!value || *value < min || *value > max)
            fail(std::string("bad ") + what + " " + quoted(w) +
                 ", expected a whole number >= " + std::to_string(min));
        return *value;
    }
    double real(std::string_view w, const char* what) {
        std::optional<double> value = toReal(w);
        if (!value)
            fail(std::string("bad ") + what + " " + quoted(w) + ", expected a number");
        return *value;
    }
    double nonNegative(std::string_view w, const char* what) {
        const double value = real(w, what);
        if (value < 0)
            fail(std::string("bad ") + what + " " + quoted(w) + ", expected a number >= 0");
        return value;
    }
    float coordinate(std::string_view w, const char* what) {
        const double value = real(w, what);
        if (std::fabs(value) > FLT_MAX)
            fail(std::string("bad ") + what + " " + quoted(w) + ", out of range");
        return static_cast<float>(value);
    }
    int taps(std::optional<std::string_view> w) {
        return w ? static_cast<int>(integer(*w, "tap count", 1, 1000)) : 1;
    }

    [[noreturn]] void fail(const std::string& what) {
        throw Failure{std::string(name_) + ": " + what + "; usage: " + std::string(usage_)};
    }

  private:
    std::string_view name_;
    std::string_view usage_;
    Words& words_;
};

constexpr long long kMaxCount = 100'000'000;

Command parseFrames(LineParser& p) {
    command::Frames c;
    c.count = static_cast<int>(p.integer(p.word("N"), "frame count", 0, kMaxCount));
    if (std::optional<std::string_view> dt = p.optionalWord())
        c.dt = p.nonNegative(*dt, "time step");
    p.end();
    return c;
}

Command parseTouch(LineParser& p) {
    command::Touch c;
    const std::string_view phase = p.word("phase");
    std::optional<TouchPhase> value = touchPhaseFromName(phase);
    if (!value)
        p.fail("unknown phase " + quoted(phase));
    c.phase = *value;
    c.x = p.coordinate(p.word("X"), "X");
    c.y = p.coordinate(p.word("Y"), "Y");
    c.taps = p.taps(p.optionalWord());
    p.end();
    return c;
}

Command parseTap(LineParser& p) {
    command::Tap c;
    c.x = p.coordinate(p.word("X"), "X");
    c.y = p.coordinate(p.word("Y"), "Y");
    c.taps = p.taps(p.optionalWord());
    p.end();
    return c;
}

Command parseSwipe(LineParser& p) {
    command::Swipe c;
    c.x1 = p.coordinate(p.word("X1"), "X1");
    c.y1 = p.coordinate(p.word("Y1"), "Y1");
    c.x2 = p.coordinate(p.word("X2"), "X2");
    c.y2 = p.coordinate(p.word("Y2"), "Y2");
    if (std::optional<std::string_view> steps = p.optionalWord())
        c.steps = static_cast<int>(p.integer(*steps, "step count", 0, 100'000));
    p.end();
    return c;
}

Command parseButton(LineParser& p) {
    const std::string_view name = p.word("NAME");
    if (!isScriptButton(name))
        p.fail("unknown button " + quoted(name));
    p.end();
    return command::Button{std::string(name)};
}

Command parseAlert(LineParser& p) {
    const std::string_view what = p.word("ok");
    if (what != "ok")
        p.fail("unknown alert action " + quoted(what));
    p.end();
    return command::AlertOk{};
}

Command parsePanel(LineParser& p) {
    const std::string_view what = p.word("wait-loaded");
    if (what != "wait-loaded")
        p.fail("unknown panel action " + quoted(what));
    command::PanelWaitLoaded c;
    if (std::optional<std::string_view> seconds = p.optionalWord())
        c.seconds = p.nonNegative(*seconds, "time");
    p.end();
    return c;
}

Command parseApp(LineParser& p) {
    const std::string_view name = p.word("EVENT");
    std::optional<AppEvent> event = appEventFromName(name);
    if (!event)
        p.fail("unknown event " + quoted(name));
    p.end();
    return command::App{*event};
}

Command parseNetwork(LineParser& p, Words& words) {
    const std::string_view kind = p.word("kind");
    NetworkAnswer answer;
    if (kind == "offline") {
        answer.flags = 0;
    } else if (kind == "wifi") {
        answer.flags = static_cast<unsigned>(NetworkFlag::Reachable);
    } else if (kind == "cellular") {
        answer.flags = static_cast<unsigned>(NetworkFlag::Reachable) |
                       static_cast<unsigned>(NetworkFlag::Cellular);
    } else if (kind == "flags") {
        // "reachable,cellular"; blanks around the commas are tolerated.
        std::string_view list = words.rest();
        if (list.empty())
            p.fail("missing flags");
        answer.flags = 0;
        while (true) {
            const std::size_t comma = list.find(',');
            const std::string_view name = trim(list.substr(0, comma));
            std::optional<NetworkFlag> flag = networkFlagFromName(name);
            if (!flag)
                p.fail("unknown flag " + quoted(name));
            answer.flags |= static_cast<unsigned>(*flag);
            if (comma == std::string_view::npos)
                break;
            list.remove_prefix(comma + 1);
        }
        return command::Network{answer};
    } else {
        p.fail("unknown network answer " + quoted(kind));
    }
    p.end();
    return command::Network{answer};
}

Command parseLocation(LineParser& p) {
    const std::string_view what = p.word("fix or error");
    if (what == "error") {
        p.end();
        return command::LocationError{};
    }
    if (what != "fix")
        p.fail("unknown location answer " + quoted(what));
    command::LocationFix c;
    c.lat = p.real(p.word("LAT"), "latitude");
    c.lon = p.real(p.word("LON"), "longitude");
    p.end();
    return c;
}

Command parseBoard(LineParser& p) {
    const std::string_view name = p.word("CELL");
    std::optional<BoardCell> cell = boardCellFromName(name);
    if (!cell)
        p.fail("unknown cell " + quoted(name));
    command::Board c{*cell, p.real(p.word("VALUE"), "value")};
    p.end();
    return c;
}

Command parseClear(LineParser& p, Command cleared) {
    const std::string_view what = p.word("clear");
    if (what != "clear")
        p.fail("unknown action " + quoted(what));
    p.end();
    return cleared;
}

bool validPath(std::string_view path) {
    if (path.empty())
        return false;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = path.find('.', start);
        const std::size_t end = dot == std::string_view::npos ? path.size() : dot;
        if (end == start)
            return false;
        if (dot == std::string_view::npos)
            return true;
        start = dot + 1;
    }
}

Json jsonArgument(LineParser& p, std::string_view text) {
    std::string error;
    std::optional<Json> value = Json::parse(text, &error);
    if (!value)
        p.fail("bad JSON value " + quoted(text) + ": " + error);
    return std::move(*value);
}

Command parseExpect(LineParser& p, Words& words) {
    command::Expect c;
    const std::string_view path = p.word("PATH");
    if (!validPath(path))
        p.fail("bad path " + quoted(path));
    c.path = std::string(path);
    const std::string_view rest = words.rest();
    Words after(rest);
    const std::optional<std::string_view> first = after.next();
    if (!first)
        p.fail("missing VALUE");
    if (*first == "contains") {
        c.mode = command::Expect::Mode::Contains;
        if (after.atEnd())
            p.fail("missing VALUE after contains");
        c.value = jsonArgument(p, after.rest());
    } else if (*first == "length") {
        c.mode = command::Expect::Mode::Length;
        std::optional<std::string_view> n = after.next();
        if (!n)
            p.fail("missing N after length");
        c.value = Json(p.integer(*n, "length", 0, kMaxCount));
        if (!after.atEnd())
            p.fail("unexpected " + quoted(after.rest()));
    } else {
        c.value = jsonArgument(p, rest);
    }
    return c;
}

struct Syntax {
    std::string_view name;
    std::string_view usage;
};

constexpr Syntax kSyntax[] = {
    {"frames", "frames N [DT]"},
    {"touch", "touch began|moved|ended|cancelled X Y [TAPS]"},
    {"tap", "tap X Y [TAPS]"},
    {"swipe", "swipe X1 Y1 X2 Y2 [STEPS]"},
    {"button", "button zoomIn|zoomOut|search|more|flag|home|done"},
    {"type", "type TEXT"},
    {"return", "return"},
    {"alert", "alert ok"},
    {"panel", "panel wait-loaded [SECONDS]"},
    {"app", "app resign|activate|background|foreground|terminate|memory-warning|time-change"},
    {"network", "network offline|wifi|cellular|flags F,..."},
    {"location", "location fix LAT LON | location error"},
    {"board", "board CELL VALUE"},
    {"log", "log clear"},
    {"requests", "requests clear"},
    {"state", "state"},
    {"expect", "expect PATH VALUE | expect PATH contains VALUE | expect PATH length N"},
    {"screenshot", "screenshot FILE"},
};

Command parseCommand(std::string_view name, std::string_view usage, std::string_view afterName,
                     Words& words) {
    LineParser p(name, usage, words);
    if (name == "frames")
        return parseFrames(p);
    if (name == "touch")
        return parseTouch(p);
    if (name == "tap")
        return parseTap(p);
    if (name == "swipe")
        return parseSwipe(p);
    if (name == "button")
        return parseButton(p);
    if (name == "type") {
        // The text is the rest of the line as written, inner and trailing
        // blanks included; only the one blank after the word separates.
        if (!afterName.empty())
            afterName.remove_prefix(1);
        return command::Type{std::string(afterName)};
    }
    if (name == "return") {
        p.end();
        return command::Return{};
    }
    if (name == "alert")
        return parseAlert(p);
    if (name == "panel")
        return parsePanel(p);
    if (name == "app")
        return parseApp(p);
    if (name == "network")
        return parseNetwork(p, words);
    if (name == "location")
        return parseLocation(p);
    if (name == "board")
        return parseBoard(p);
    if (name == "log")
        return parseClear(p, command::LogClear{});
    if (name == "requests")
        return parseClear(p, command::RequestsClear{});
    if (name == "state") {
        p.end();
        return command::State{};
    }
    if (name == "expect")
        return parseExpect(p, words);
    // screenshot: the file name may hold blanks.
    const std::string_view file = words.rest();
    if (file.empty())
        p.fail("missing FILE");
    return command::Screenshot{std::string(file)};
}

} // namespace

ParsedLine parseScriptLine(std::string_view line) {
    ParsedLine parsed;
    if (!line.empty() && line.back() == '\r') // scripts written with CRLF line ends
        line.remove_suffix(1);
    const std::string_view content = trimLeft(line);
    if (content.empty() || content.front() == '#')
        return parsed;

    Words words(content);
    const std::string_view name = *words.next();
    const std::string_view afterName = content.substr(name.size());
    for (const Syntax& syntax : kSyntax) {
        if (syntax.name != name)
            continue;
        try {
            parsed.command = parseCommand(syntax.name, syntax.usage, afterName, words);
            parsed.kind = ParsedLine::Kind::Command;
        } catch (const Failure& failure) {
            parsed.kind = ParsedLine::Kind::Error;
            parsed.error = failure.message;
        }
        return parsed;
    }
    parsed.kind = ParsedLine::Kind::Error;
    parsed.error = "unknown command " + quoted(name);
    return parsed;
}

} // namespace terrabo::automation

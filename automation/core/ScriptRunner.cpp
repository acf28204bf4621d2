#include "automation/core/ScriptRunner.h"

#include "automation/core/StateQuery.h"

#include <fstream>
#include <iostream>
#include <string_view>
#include <type_traits>

namespace terrabo::automation {

namespace {

constexpr int kGoOn = -1;

// Flushed at once: a reader sees each answer even if the app dies later.
void writeLine(std::ostream& out, const Json& value) {
    out << value.dump() << '\n';
    out.flush();
}

int expectFailed(std::ostream& out, int line, const command::Expect& expect, Json actual) {
    writeLine(out, Json::object({{"failed", line},
                                 {"path", expect.path},
                                 {"expected", expect.value},
                                 {"actual", std::move(actual)}}));
    return kExpectFailed;
}

int runExpect(const command::Expect& expect, int line, ScriptTarget& target, std::ostream& out) {
    const Json state = target.state();
    const Json& actual = valueAtPath(state, expect.path);
    switch (expect.mode) {
    case command::Expect::Mode::Equals:
        return jsonMatches(expect.value, actual) ? kGoOn : expectFailed(out, line, expect, actual);
    case command::Expect::Mode::Contains:
        return jsonContains(actual, expect.value) ? kGoOn : expectFailed(out, line, expect, actual);
    case command::Expect::Mode::Length: {
        const std::optional<std::size_t> length = jsonLength(actual);
        if (length && static_cast<double>(*length) == expect.value.asNumber())
            return kGoOn;
        // The measured length; null when the field has none (not an array or string).
        return expectFailed(out, line, expect, length ? Json(*length) : Json());
    }
    }
    return kGoOn;
}

void swipe(const command::Swipe& s, ScriptTarget& target) {
    target.touch(TouchPhase::Began, s.x1, s.y1, 1);
    for (int i = 1; i <= s.steps; ++i) {
        // The last step lands exactly on the end point, free of rounding.
        const bool last = i == s.steps;
        const double t = static_cast<double>(i) / s.steps;
        const float x = last ? s.x2 : static_cast<float>(s.x1 + (s.x2 - s.x1) * t);
        const float y = last ? s.y2 : static_cast<float>(s.y1 + (s.y2 - s.y1) * t);
        target.touch(TouchPhase::Moved, x, y, 1);
    }
    target.touch(TouchPhase::Ended, s.x2, s.y2, 1);
}

} // namespace

int reportScriptError(std::ostream& out, const std::string& message, int line) {
    writeLine(out, Json::object({{"error", message}, {"line", line}}));
    return kScriptError;
}

int runCommand(const Command& command, int line, ScriptTarget& target, std::ostream& out) {
    std::string error;
    const auto checked = [&](bool ok) {
        if (ok)
            return kGoOn;
        return reportScriptError(out, error.empty() ? "command failed" : error, line);
    };
    return std::visit(
        [&](const auto& c) -> int {
            using T = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<T, command::Frames>) {
                target.frames(c.count, c.dt);
            } else if constexpr (std::is_same_v<T, command::Touch>) {
                target.touch(c.phase, c.x, c.y, c.taps);
            } else if constexpr (std::is_same_v<T, command::Tap>) {
                target.touch(TouchPhase::Began, c.x, c.y, c.taps);
                target.touch(TouchPhase::Ended, c.x, c.y, c.taps);
            } else if constexpr (std::is_same_v<T, command::Swipe>) {
                swipe(c, target);
            } else if constexpr (std::is_same_v<T, command::Button>) {
                return checked(target.button(c.name, error));
            } else if constexpr (std::is_same_v<T, command::Type>) {
                target.type(c.text);
            } else if constexpr (std::is_same_v<T, command::Return>) {
                target.pressReturn();
            } else if constexpr (std::is_same_v<T, command::AlertOk>) {
                return checked(target.alertOk(error));
            } else if constexpr (std::is_same_v<T, command::PanelWaitLoaded>) {
                return checked(target.panelWaitLoaded(c.seconds, error));
            } else if constexpr (std::is_same_v<T, command::App>) {
                target.appEvent(c.event);
            } else if constexpr (std::is_same_v<T, command::Network>) {
                target.network(c.answer);
            } else if constexpr (std::is_same_v<T, command::LocationFix>) {
                target.locationFix(c.lat, c.lon);
            } else if constexpr (std::is_same_v<T, command::LocationError>) {
                target.locationError();
            } else if constexpr (std::is_same_v<T, command::Board>) {
                target.board(c.cell, c.value);
            } else if constexpr (std::is_same_v<T, command::LogClear>) {
                target.clearLog();
            } else if constexpr (std::is_same_v<T, command::RequestsClear>) {
                target.clearRequests();
            } else if constexpr (std::is_same_v<T, command::State>) {
                writeLine(out, target.state());
            } else if constexpr (std::is_same_v<T, command::Expect>) {
                return runExpect(c, line, target, out);
            } else if constexpr (std::is_same_v<T, command::Screenshot>) {
                return checked(target.screenshot(c.file, error));
            }
            return kGoOn;
        },
        command);
}

int runScript(std::istream& in, ScriptTarget& target, std::ostream& out) {
    int status = 0;
    // Start-up may already have ended the app.
    if (target.appEnded(status))
        return status;
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        std::string_view content = text;
        if (line == 1 && content.starts_with("\xEF\xBB\xBF")) // byte order mark
            content.remove_prefix(3);
        const ParsedLine parsed = parseScriptLine(content);
        if (parsed.kind == ParsedLine::Kind::Blank)
            continue;
        if (parsed.kind == ParsedLine::Kind::Error)
            return reportScriptError(out, parsed.error, line);
        const int result = runCommand(parsed.command, line, target, out);
        if (result != kGoOn)
            return result;
        if (target.appEnded(status))
            return status;
    }
    if (in.bad())
        return reportScriptError(out, "cannot read the script", 0);
    return kScriptCompleted;
}

int runScriptFile(const std::string& path, ScriptTarget& target, std::ostream& out) {
    if (path == "-")
        return runScript(std::cin, target, out);
    std::ifstream file(path);
    if (!file)
        return reportScriptError(out, "cannot open script '" + path + "'", 0);
    return runScript(file, target, out);
}

} // namespace terrabo::automation

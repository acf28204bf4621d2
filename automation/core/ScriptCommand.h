#pragma once

#include "automation/core/Json.h"
#include "automation/core/ScriptTarget.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace terrabo::automation {

namespace command {

struct Frames {
    int count = 0;
    double dt = 1.0 / 60.0;
    friend bool operator==(const Frames&, const Frames&) = default;
};
struct Touch {
    TouchPhase phase = TouchPhase::Began;
    float x = 0, y = 0;
    int taps = 1;
    friend bool operator==(const Touch&, const Touch&) = default;
};
struct Tap {
    float x = 0, y = 0;
    int taps = 1;
    friend bool operator==(const Tap&, const Tap&) = default;
};
struct Swipe {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int steps = 10;
    friend bool operator==(const Swipe&, const Swipe&) = default;
};
struct Button {
    std::string name;
    friend bool operator==(const Button&, const Button&) = default;
};
struct Type {
    std::string text;
    friend bool operator==(const Type&, const Type&) = default;
};
struct Return {
    friend bool operator==(const Return&, const Return&) = default;
};
struct AlertOk {
    friend bool operator==(const AlertOk&, const AlertOk&) = default;
};
struct PanelWaitLoaded {
    double seconds = 20.0;
    friend bool operator==(const PanelWaitLoaded&, const PanelWaitLoaded&) = default;
};
struct App {
    AppEvent event = AppEvent::Activate;
    friend bool operator==(const App&, const App&) = default;
};
struct Network {
    NetworkAnswer answer;
    friend bool operator==(const Network&, const Network&) = default;
};
struct LocationFix {
    double lat = 0, lon = 0;
    friend bool operator==(const LocationFix&, const LocationFix&) = default;
};
struct LocationError {
    friend bool operator==(const LocationError&, const LocationError&) = default;
};
struct Board {
    BoardCell cell = BoardCell::AutoZoomPending;
    double value = 0;
    friend bool operator==(const Board&, const Board&) = default;
};
struct LogClear {
    friend bool operator==(const LogClear&, const LogClear&) = default;
};
struct RequestsClear {
    friend bool operator==(const RequestsClear&, const RequestsClear&) = default;
};
struct State {
    friend bool operator==(const State&, const State&) = default;
};
struct Expect {
    enum class Mode { Equals, Contains, Length };
    std::string path;
    Mode mode = Mode::Equals;
    Json value; // the expected value; for Length the count
    friend bool operator==(const Expect&, const Expect&) = default;
};
struct Screenshot {
    std::string file;
    friend bool operator==(const Screenshot&, const Screenshot&) = default;
};

} // namespace command

using Command =
    std::variant<command::Frames, command::Touch, command::Tap, command::Swipe, command::Button,
                 command::Type, command::Return, command::AlertOk, command::PanelWaitLoaded,
                 command::App, command::Network, command::LocationFix, command::LocationError,
                 command::Board, command::LogClear, command::RequestsClear, command::State,
                 command::Expect, command::Screenshot>;

struct ParsedLine {
    enum class Kind { Blank, Command, Error };
    Kind kind = Kind::Blank;
    Command command;
    std::string error;
};

// One script line (without its newline): blank, a comment (first non-blank
// character '#'), a command, or an error saying what is wrong with it.
ParsedLine parseScriptLine(std::string_view line);

} // namespace terrabo::automation

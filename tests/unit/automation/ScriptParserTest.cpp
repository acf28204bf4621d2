#include "Printers.h"
#include "automation/core/ScriptCommand.h"

#include <gtest/gtest.h>

namespace terrabo::automation {
namespace {

using namespace command;

unsigned flags(std::initializer_list<NetworkFlag> list) {
    unsigned bits = 0;
    for (NetworkFlag flag : list)
        bits |= static_cast<unsigned>(flag);
    return bits;
}

TEST(ScriptParser, SkipsBlankAndCommentLines) {
    for (const char* line : {"", "   ", "\t", "# a comment", "   # indented", "#frames x", "\r"})
        EXPECT_EQ(parseScriptLine(line).kind, ParsedLine::Kind::Blank) << '"' << line << '"';
}

TEST(ScriptParser, ParsesEveryCommand) {
    struct Case {
        const char* line;
        Command command;
    };
    using Mode = Expect::Mode;
    const Case cases[] = {
        {"frames 2", Frames{2, 1.0 / 60.0}},
        {"frames 0", Frames{0, 1.0 / 60.0}},
        {"frames 3 0.5", Frames{3, 0.5}},
        {"  frames\t1   0  ", Frames{1, 0.0}},
        {"frames 1\r", Frames{1, 1.0 / 60.0}},
        {"touch began 10 20", Touch{TouchPhase::Began, 10, 20, 1}},
        {"touch began 10.5 -2 2", Touch{TouchPhase::Began, 10.5f, -2, 2}},
        {"touch moved 1 2", Touch{TouchPhase::Moved, 1, 2, 1}},
        {"touch ended 1 2", Touch{TouchPhase::Ended, 1, 2, 1}},
        {"touch cancelled 1 2", Touch{TouchPhase::Cancelled, 1, 2, 1}},
        {"tap 160 240", Tap{160, 240, 1}},
        {"tap 160 240 2", Tap{160, 240, 2}},
        {"swipe 60 240 200 240", Swipe{60, 240, 200, 240, 10}},
        {"swipe 1 2 3 4 5", Swipe{1, 2, 3, 4, 5}},
        {"button zoomIn", Button{"zoomIn"}},
        {"button done", Button{"done"}},
        {"type Paris", Type{"Paris"}},
        {"type New  York ", Type{"New  York "}},
        {"type  lead", Type{" lead"}},
        {"type Zürich", Type{"Zürich"}},
        {"type", Type{""}},
        {"type ", Type{""}},
        {"return", Return{}},
        {"alert ok", AlertOk{}},
        {"panel wait-loaded", PanelWaitLoaded{20}},
        {"panel wait-loaded 2.5", PanelWaitLoaded{2.5}},
        {"app resign", App{AppEvent::Resign}},
        {"app memory-warning", App{AppEvent::MemoryWarning}},
        {"app time-change", App{AppEvent::TimeChange}},
        {"network offline", Network{{0}}},
        {"network wifi", Network{{flags({NetworkFlag::Reachable})}}},
        {"network cellular", Network{{flags({NetworkFlag::Reachable, NetworkFlag::Cellular})}}},
        {"network flags reachable,connection-required,intervention-required",
         Network{{flags({NetworkFlag::Reachable, NetworkFlag::ConnectionRequired,
                         NetworkFlag::InterventionRequired})}}},
        {"network flags on-traffic, on-demand",
         Network{{flags({NetworkFlag::OnTraffic, NetworkFlag::OnDemand})}}},
        {"location fix 48.85 2.35", LocationFix{48.85, 2.35}},
        {"location fix -33.9 -70", LocationFix{-33.9, -70}},
        {"location error", LocationError{}},
        {"board spinOn 0", Board{BoardCell::SpinOn, 0}},
        {"board targetLat 48.5", Board{BoardCell::TargetLat, 48.5}},
        {"board zoomOutPending 1", Board{BoardCell::ZoomOutPending, 1}},
        {"log clear", LogClear{}},
        {"requests clear", RequestsClear{}},
        {"state", State{}},
        {"expect world.xFactor 0.8", Expect{"world.xFactor", Mode::Equals, 0.8}},
        {"expect label null", Expect{"label", Mode::Equals, Json()}},
        {"expect world.cam [0, 0, 5]", Expect{"world.cam", Mode::Equals, Json::array({0, 0, 5})}},
        {R"(expect alerts.0 {"title": "Sorry", "buttons": ["OK"]})",
         Expect{"alerts.0", Mode::Equals,
                Json::object({{"title", "Sorry"}, {"buttons", Json::array({"OK"})}})}},
        {R"(expect log contains "zoom in !!!!!")", Expect{"log", Mode::Contains, "zoom in !!!!!"}},
        {R"(expect label.text contains "contains")",
         Expect{"label.text", Mode::Contains, "contains"}},
        {R"(expect overlay.str "length")", Expect{"overlay.str", Mode::Equals, "length"}},
        {"expect alerts length 0", Expect{"alerts", Mode::Length, 0}},
        {"screenshot out/globe.png", Screenshot{"out/globe.png"}},
        {"screenshot my shot.png  ", Screenshot{"my shot.png"}},
    };
    for (const Case& c : cases) {
        const ParsedLine parsed = parseScriptLine(c.line);
        ASSERT_EQ(parsed.kind, ParsedLine::Kind::Command) << c.line << ": " << parsed.error;
        EXPECT_TRUE(parsed.command == c.command) << c.line;
    }
}

TEST(ScriptParser, RejectsBadLinesWithAReason) {
    struct Case {
        const char* line;
        const char* reason; // part of the message
    };
    const Case cases[] = {
        {"fly to the moon", "unknown command 'fly'"},
        {"Frames 1", "unknown command 'Frames'"},
        {"typed x", "unknown command 'typed'"},
        {"frames", "missing N"},
        {"frames x", "bad frame count 'x'"},
        {"frames -1", "bad frame count '-1'"},
        {"frames 1.5", "bad frame count '1.5'"},
        {"frames 99999999999999999999", "bad frame count"},
        {"frames 1 -0.1", "bad time step '-0.1'"},
        {"frames 1 nan", "bad time step 'nan'"},
        {"frames 1 0.1 2", "unexpected '2'"},
        {"touch pressed 1 2", "unknown phase 'pressed'"},
        {"touch began 1", "missing Y"},
        {"touch began 1 y", "bad Y 'y'"},
        {"touch began 1 2 0", "bad tap count '0'"},
        {"touch began 1 2 1 9", "unexpected '9'"},
        {"touch began 1e40 2", "out of range"},
        {"tap 1 inf", "bad Y 'inf'"},
        {"swipe 1 2 3", "missing Y2"},
        {"swipe 1 2 3 4 -1", "bad step count '-1'"},
        {"button", "missing NAME"},
        {"button settings", "unknown button 'settings'"},
        {"button zoomin", "unknown button 'zoomin'"},
        {"return now", "unexpected 'now'"},
        {"alert", "missing ok"},
        {"alert cancel", "unknown alert action 'cancel'"},
        {"panel wait", "unknown panel action 'wait'"},
        {"panel wait-loaded soon", "bad time 'soon'"},
        {"app sleep", "unknown event 'sleep'"},
        {"app", "missing EVENT"},
        {"network 5g", "unknown network answer '5g'"},
        {"network flags", "missing flags"},
        {"network flags reachable,,cellular", "unknown flag ''"},
        {"network flags reachable,fast", "unknown flag 'fast'"},
        {"network wifi now", "unexpected 'now'"},
        {"location", "missing fix or error"},
        {"location fix 1", "missing LON"},
        {"location fix north 1", "bad latitude 'north'"},
        {"location lost", "unknown location answer 'lost'"},
        {"board spin 1", "unknown cell 'spin'"},
        {"board spinOn", "missing VALUE"},
        {"board spinOn yes", "bad value 'yes'"},
        {"log", "missing clear"},
        {"log flush", "unknown action 'flush'"},
        {"requests clear all", "unexpected 'all'"},
        {"state now", "unexpected 'now'"},
        {"expect", "missing PATH"},
        {"expect world.xFactor", "missing VALUE"},
        {"expect world..cam 1", "bad path 'world..cam'"},
        {"expect .frame 1", "bad path '.frame'"},
        {"expect label.text Paris", "bad JSON value 'Paris'"},
        {"expect world.cam [0, 0", "bad JSON value"},
        {"expect log contains", "missing VALUE after contains"},
        {"expect log contains zoom", "bad JSON value 'zoom'"},
        {"expect alerts length", "missing N after length"},
        {"expect alerts length two", "bad length 'two'"},
        {"expect alerts length 1 2", "unexpected '2'"},
        {"screenshot", "missing FILE"},
    };
    for (const Case& c : cases) {
        const ParsedLine parsed = parseScriptLine(c.line);
        ASSERT_EQ(parsed.kind, ParsedLine::Kind::Error) << c.line;
        EXPECT_NE(parsed.error.find(c.reason), std::string::npos)
            << c.line << " -> " << parsed.error;
    }
}

TEST(ScriptParser, ErrorNamesTheCommandsUsage) {
    EXPECT_EQ(parseScriptLine("frames x").error,
              "frames: bad frame count 'x', expected a whole number >= 0; usage: frames N [DT]");
}

} // namespace
} // namespace terrabo::automation

#include "automation/core/ScriptRunner.h"
#include "Printers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace terrabo::automation {
namespace {

// Records every call as a line of text and answers from a small state.
class FakeTarget : public ScriptTarget {
  public:
    std::vector<std::string> calls;
    Json stateValue = Json::object({{"frame", 0},
                                    {"world", Json::object({{"xFactor", Json(0.5f)}})},
                                    {"alerts", Json::array()},
                                    {"log", Json::array({"started"})}});
    bool alertShown = false;
    bool failScreenshot = false;
    int endAfterBackground = -1; // status the app ends with on "app background"
    bool endedAtStart = false;

    void frames(int count, double dt) override {
        calls.push_back("frames " + std::to_string(count) + " " + Json(dt).dump());
        stateValue.set("frame", stateValue.find("frame")->asNumber() + count);
    }
    void touch(TouchPhase phase, float x, float y, int taps) override {
        calls.push_back(std::string("touch ") + touchPhaseName(phase) + " " + Json(x).dump() + " " +
                        Json(y).dump() + " " + std::to_string(taps));
    }
    bool button(const std::string& name, std::string& error) override {
        calls.push_back("button " + name);
        if (name == "done") {
            error = "no web panel";
            return false;
        }
        return true;
    }
    void type(const std::string& text) override { calls.push_back("type [" + text + "]"); }
    void pressReturn() override { calls.push_back("return"); }
    bool alertOk(std::string& error) override {
        calls.push_back("alert ok");
        if (!alertShown)
            error = "no alert on screen";
        return alertShown;
    }
    bool panelWaitLoaded(double seconds, std::string&) override {
        calls.push_back("panel " + Json(seconds).dump());
        return false; // leaves the message to the runner
    }
    void appEvent(AppEvent event) override {
        calls.push_back(std::string("app ") + appEventName(event));
        if (event == AppEvent::Background && endAfterBackground >= 0)
            ended = true;
    }
    void network(NetworkAnswer answer) override {
        calls.push_back("network " + std::to_string(answer.flags));
    }
    void locationFix(double lat, double lon) override {
        calls.push_back("fix " + Json(lat).dump() + " " + Json(lon).dump());
    }
    void locationError() override { calls.push_back("location error"); }
    void board(BoardCell cell, double value) override {
        calls.push_back(std::string("board ") + boardCellName(cell) + " " + Json(value).dump());
    }
    void clearLog() override {
        calls.push_back("log clear");
        stateValue.set("log", Json::array());
    }
    void clearRequests() override { calls.push_back("requests clear"); }
    Json state() override { return stateValue; }
    bool screenshot(const std::string& file, std::string& error) override {
        calls.push_back("screenshot " + file);
        if (failScreenshot)
            error = "cannot write " + file;
        return !failScreenshot;
    }
    bool appEnded(int& status) override {
        if (endedAtStart || ended) {
            status = endedAtStart ? 3 : endAfterBackground;
            return true;
        }
        return false;
    }

  private:
    bool ended = false;
};

struct Outcome {
    int status;
    std::string out;
};

Outcome run(FakeTarget& target, const std::string& script) {
    std::istringstream in(script);
    std::ostringstream out;
    const int status = runScript(in, target, out);
    return {status, out.str()};
}

TEST(ScriptRunner, RunsToTheEndAndPrintsOnlyState) {
    FakeTarget target;
    const Outcome r = run(target, "# a comment\n"
                                  "\n"
                                  "frames 2\n"
                                  "state\n"
                                  "expect frame 2\n"
                                  "expect world.xFactor 0.5\n"
                                  "expect log contains \"started\"\n"
                                  "expect log length 1\n"
                                  "log clear\n"
                                  "expect log length 0\n"
                                  "expect nothing.here null");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "{\"frame\": 2, \"world\": {\"xFactor\": 0.5}, \"alerts\": [], "
                     "\"log\": [\"started\"]}\n");
}

TEST(ScriptRunner, DeliversCommandsToTheTarget) {
    FakeTarget target;
    target.alertShown = true;
    const Outcome r = run(target, "frames 1 0.25\n"
                                  "type New York\n"
                                  "return\n"
                                  "button zoomIn\n"
                                  "alert ok\n"
                                  "app resign\n"
                                  "network cellular\n"
                                  "location fix 48.5 -2.25\n"
                                  "location error\n"
                                  "board targetLon 120.5\n"
                                  "requests clear\n"
                                  "screenshot shot.png\n");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(target.calls,
              (std::vector<std::string>{"frames 1 0.25", "type [New York]", "return",
                                        "button zoomIn", "alert ok", "app resign", "network 3",
                                        "fix 48.5 -2.25", "location error", "board targetLon 120.5",
                                        "requests clear", "screenshot shot.png"}));
}

TEST(ScriptRunner, ComposesTapsAndSwipesFromTouches) {
    FakeTarget target;
    run(target, "tap 100 200 2\nswipe 60 240 200 100 4\nswipe 0 0 10 10 0\n");
    EXPECT_EQ(target.calls, (std::vector<std::string>{
                                "touch began 100 200 2",
                                "touch ended 100 200 2",
                                "touch began 60 240 1",
                                "touch moved 95 205 1",
                                "touch moved 130 170 1",
                                "touch moved 165 135 1",
                                "touch moved 200 100 1",
                                "touch ended 200 100 1",
                                "touch began 0 0 1",
                                "touch ended 10 10 1",
                            }));
}

TEST(ScriptRunner, SwipeEndsExactlyOnItsEndPoint) {
    FakeTarget target;
    run(target, "swipe 0.1 0.2 100.3 33.7 7\n");
    ASSERT_EQ(target.calls.size(), 9u);
    EXPECT_EQ(target.calls[7], "touch moved 100.300003 33.7000008 1");
    EXPECT_EQ(target.calls[8], "touch ended 100.300003 33.7000008 1");
}

TEST(ScriptRunner, FailedExpectStopsWithStatusOne) {
    struct Case {
        const char* expect;
        const char* report;
    };
    const Case cases[] = {
        {"expect world.xFactor 0.5002",
         R"({"failed": 2, "path": "world.xFactor", "expected": 0.5002, "actual": 0.5})"},
        {"expect label {\"text\": \"Paris\"}",
         R"({"failed": 2, "path": "label", "expected": {"text": "Paris"}, "actual": null})"},
        {"expect log contains \"zoom\"",
         R"({"failed": 2, "path": "log", "expected": "zoom", "actual": ["started"]})"},
        {"expect log length 2", R"({"failed": 2, "path": "log", "expected": 2, "actual": 1})"},
        {"expect frame length 1",
         R"({"failed": 2, "path": "frame", "expected": 1, "actual": null})"},
    };
    for (const Case& c : cases) {
        FakeTarget target;
        const Outcome r = run(target, std::string("frames 1\n") + c.expect + "\nframes 5\nstate\n");
        EXPECT_EQ(r.status, 1) << c.expect;
        EXPECT_EQ(r.out, std::string(c.report) + "\n");
        EXPECT_EQ(target.calls, (std::vector<std::string>{"frames 1 0.016666666666666666"}))
            << "nothing runs after a failed expect";
    }
}

TEST(ScriptRunner, ScriptErrorStopsWithStatusTwoAndTheLine) {
    struct Case {
        const char* script;
        const char* report;
        std::size_t callsBefore;
    };
    const Case cases[] = {
        {"frames 1\n# note\n\nfly to the moon\nframes 1\n",
         R"({"error": "unknown command 'fly'", "line": 4})", 1},
        {"frames 1\r\nframes x\r\n",
         R"({"error": "frames: bad frame count 'x', expected a whole number >= 0; usage: frames N [DT]", "line": 2})",
         1},
        {"alert ok\nframes 1\n", R"({"error": "no alert on screen", "line": 1})", 1},
        {"button done\n", R"({"error": "no web panel", "line": 1})", 1},
        {"frames 1\npanel wait-loaded 0\n", R"({"error": "command failed", "line": 2})", 2},
    };
    for (const Case& c : cases) {
        FakeTarget target;
        const Outcome r = run(target, c.script);
        EXPECT_EQ(r.status, 2) << c.script;
        EXPECT_EQ(r.out, std::string(c.report) + "\n");
        EXPECT_EQ(target.calls.size(), c.callsBefore) << c.script;
    }
}

TEST(ScriptRunner, TargetFailureInScreenshotIsAScriptError) {
    FakeTarget target;
    target.failScreenshot = true;
    const Outcome r = run(target, "screenshot /nowhere/x.png\nstate\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "{\"error\": \"cannot write /nowhere/x.png\", \"line\": 1}\n");
}

TEST(ScriptRunner, AppEndingItselfEndsTheScriptWithItsStatus) {
    FakeTarget target;
    target.endAfterBackground = 0;
    Outcome r = run(target, "frames 1\napp background\nexpect frame 99\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(target.calls.back(), "app background");

    FakeTarget failing;
    failing.endAfterBackground = 7;
    EXPECT_EQ(run(failing, "app background\nframes 1\n").status, 7);

    FakeTarget deadOnArrival;
    deadOnArrival.endedAtStart = true;
    r = run(deadOnArrival, "frames 1\n");
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(deadOnArrival.calls.empty());
}

TEST(ScriptRunner, AcceptsAByteOrderMarkAndAMissingFinalNewline) {
    FakeTarget target;
    EXPECT_EQ(run(target, "\xEF\xBB\xBF"
                          "frames 1\nexpect frame 1")
                  .status,
              0);
}

TEST(ScriptRunner, ReadsScriptFiles) {
    FakeTarget target;
    std::ostringstream out;
    EXPECT_EQ(runScriptFile("/nonexistent/dir/x.script", target, out), 2);
    EXPECT_EQ(out.str(), "{\"error\": \"cannot open script '/nonexistent/dir/x.script'\", "
                         "\"line\": 0}\n");

    const std::string path = ::testing::TempDir() + "runner_test.script";
    std::ofstream(path) << "frames 3\nexpect frame 3\n";
    std::ostringstream quiet;
    EXPECT_EQ(runScriptFile(path, target, quiet), 0);
    EXPECT_EQ(quiet.str(), "");
    std::remove(path.c_str());
}

} // namespace
} // namespace terrabo::automation

#pragma once

#include "automation/core/ScriptTarget.h"

namespace terrabo {

class RunningApp;
class ScriptedRun;

// The script's commands played on the running app through the platform's own paths.
class ScriptedApp final : public automation::ScriptTarget {
public:
    explicit ScriptedApp(ScriptedRun& run);

    void frames(int count, double dt) override;
    void touch(automation::TouchPhase phase, float x, float y, int taps) override;
    bool button(const std::string& name, std::string& error) override;
    void type(const std::string& text) override;
    void pressReturn() override;
    bool alertOk(std::string& error) override;
    bool panelWaitLoaded(double seconds, std::string& error) override;
    void appEvent(automation::AppEvent event) override;
    void network(automation::NetworkAnswer answer) override;
    void locationFix(double lat, double lon) override;
    void locationError() override;
    void board(automation::BoardCell cell, double value) override;
    void clearLog() override;
    void clearRequests() override;
    automation::Json state() override;
    bool screenshot(const std::string& file, std::string& error) override;
    bool appEnded(int& status) override;

private:
    ScriptedRun& run_;
    RunningApp& app_;
    long long frame_ = 0;
    automation::NetworkAnswer network_;
};

// The state object of a scripted run, read from the live objects.
automation::Json appState(ScriptedRun& run, long long frame);

} // namespace terrabo

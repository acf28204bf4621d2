#pragma once

#include "app/TerraboAppDelegate.h"
#include "automation/core/LaunchOptions.h"
#include "platform/Clock.h"
#include "platform/qt/QtImageLoader.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtRuntime.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace terrabo {

class TerraboLayer;

// The running app: platform, director, delegate, with the clock a scripted run
// replaces. Interactive and scripted runs start it the same way.
class AppSession {
public:
    AppSession(QtRuntime& runtime, const automation::LaunchOptions& options, bool scripted);
    ~AppSession();

    void launch();

    QtRuntime& runtime() { return runtime_; }
    QtPlatform& platform() { return *platform_; }
    TerraboAppDelegate& delegate() { return *delegate_; }
    ManualClock& virtualClock() { return virtualClock_; }
    TerraboLayer* overlay() const;
    const automation::LaunchOptions& options() const { return options_; }

    std::optional<int> endedWith() const { return ended_; }
    const std::vector<std::string>& log() const { return log_; }
    void clearLog() { log_.clear(); }

private:
    QtRuntime& runtime_;
    automation::LaunchOptions options_;
    bool scripted_;
    std::unique_ptr<QtPlatform> platform_;
    std::unique_ptr<QtImageLoader> images_;
    std::unique_ptr<Clock> realClock_;
    ManualClock virtualClock_;
    std::unique_ptr<TerraboAppDelegate> delegate_;
    std::optional<int> ended_;
    std::vector<std::string> log_;
};

// The whole program: parse the command line, launch, then run the event loop or a script.
int runTerrabo(int argc, char** argv);

} // namespace terrabo

#pragma once

#include "app/LaunchOptions.h"
#include "app/TerraboAppDelegate.h"
#include "platform/Clock.h"
#include "platform/ConnectivityProbe.h"
#include "platform/HttpClient.h"
#include "platform/Location.h"
#include "system/qt/DocumentsFolder.h"
#include "system/qt/PlistFile.h"
#include "system/qt/QtImageLoader.h"
#include "system/qt/QtPlatform.h"
#include "system/qt/QtRuntime.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace terrabo {

class TerraboLayer;

// What a scripted run puts in place of the real services. A run given stand-ins
// draws frames only when told to and plays the life-cycle itself.
struct StandIns {
    Clock* clock = nullptr;
    ConnectivityProbe* connectivity = nullptr;
    LocationService* location = nullptr;
    // Receives the real client and returns the one the app talks to.
    std::function<HttpClient*(HttpClient& real)> http;
    // The app ends without ending the process.
    std::function<void(int status)> exit;
};

// The running app: platform, real services, director, delegate.
class RunningApp {
public:
    RunningApp(QtRuntime& runtime, const LaunchOptions& options, const StandIns* standIns = nullptr);
    ~RunningApp();

    void launch();

    QtRuntime& runtime() { return runtime_; }
    QtPlatform& platform() { return *platform_; }
    TerraboAppDelegate& delegate() { return *delegate_; }
    TerraboLayer* overlay() const;
    const LaunchOptions& options() const { return options_; }
    const DocumentsFolder& documents() const { return *documents_; }

private:
    QtRuntime& runtime_;
    LaunchOptions options_;
    bool scripted_;
    std::unique_ptr<QtPlatform> platform_;
    std::unique_ptr<QtImageLoader> images_;
    std::unique_ptr<Clock> realClock_;
    std::unique_ptr<HttpClient> realHttp_;
    std::unique_ptr<ConnectivityProbe> routeProbe_;
    std::unique_ptr<LocationService> realLocation_;
    std::unique_ptr<PlistFile> historyStore_;
    std::unique_ptr<DocumentsFolder> documents_;
    std::unique_ptr<TerraboAppDelegate> delegate_;
};

// A scripted run's entry: plays options.script on a running app, or reports
// optionError in the script's own error format when it is not empty.
using ScriptedMode = int (*)(QtRuntime& runtime, const LaunchOptions& options, const std::string& optionError);

// The whole program: parse the command line, launch, then run the event loop or a script.
int runTerrabo(int argc, char** argv, ScriptedMode scripted);

} // namespace terrabo

#pragma once

#include "app/TerraboAppDelegate.h"
#include "app/LaunchOptions.h"
#include "platform/Clock.h"
#include "platform/ConnectivityProbe.h"
#include "platform/HttpClient.h"
#include "platform/Location.h"
#include "system/qt/DocumentsFolder.h"
#include "system/qt/PlistFile.h"
#include "system/qt/QtImageLoader.h"
#include "system/qt/QtPlatform.h"
#include "system/qt/QtRuntime.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace terrabo {

class TerraboLayer;

// A lookup-service request as the app sent it.
struct SentRequest {
    std::string method;
    std::string url;
    std::string body;
};

// Keeps a record of every request on its way to the real client.
class RecordingHttpClient final : public HttpClient {
public:
    explicit RecordingHttpClient(std::unique_ptr<HttpClient> client) : client_(std::move(client)) {}
    std::optional<std::string> post(const std::string& url, const std::string& body) override {
        sent.push_back({"POST", url, body});
        return client_->post(url, body);
    }
    std::vector<SentRequest> sent;

private:
    std::unique_ptr<HttpClient> client_;
};

// The location service as a script plays it: a fix or an error answers the
// manager whose request is open, if any.
class ScriptedLocationService final : public LocationService {
public:
    class Manager;
    std::unique_ptr<LocationManager> createManager() override;
    void answerFix(double lat, double lon);
    void answerError();
    std::vector<Manager*> managers;
};

// The route as a script says it is.
class ScriptedConnectivity final : public ConnectivityProbe {
public:
    std::optional<RouteFlags> defaultRoute() override { return flags; }
    RouteFlags flags{true, false, false, false, false, false};
};

// The running app: platform, director, delegate, with the clock a scripted run
// replaces. Interactive and scripted runs start it the same way.
class RunningApp {
public:
    RunningApp(QtRuntime& runtime, const automation::LaunchOptions& options, bool scripted);
    ~RunningApp();

    void launch();

    QtRuntime& runtime() { return runtime_; }
    QtPlatform& platform() { return *platform_; }
    TerraboAppDelegate& delegate() { return *delegate_; }
    ManualClock& virtualClock() { return virtualClock_; }
    TerraboLayer* overlay() const;
    const automation::LaunchOptions& options() const { return options_; }

    std::optional<int> endedWith() const { return ended_; }
    RecordingHttpClient& http() { return *http_; }
    ScriptedConnectivity& scriptedNetwork() { return scriptedNetwork_; }
    ScriptedLocationService& scriptedLocation() { return scriptedLocation_; }
    const DocumentsFolder& documents() const { return *documents_; }
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
    std::unique_ptr<RecordingHttpClient> http_;
    std::unique_ptr<ConnectivityProbe> routeProbe_;
    ScriptedConnectivity scriptedNetwork_;
    ScriptedLocationService scriptedLocation_;
    std::unique_ptr<LocationService> realLocation_;
    std::unique_ptr<PlistFile> historyStore_;
    std::unique_ptr<DocumentsFolder> documents_;
    std::unique_ptr<TerraboAppDelegate> delegate_;
    std::optional<int> ended_;
    std::vector<std::string> log_;
};

// The whole program: parse the command line, launch, then run the event loop or a script.
int runTerrabo(int argc, char** argv);

} // namespace terrabo

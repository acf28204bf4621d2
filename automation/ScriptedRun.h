#pragma once

#include "app/launch/RunningApp.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace terrabo {

// A lookup-service request as the app sent it.
struct SentRequest {
    std::string method;
    std::string url;
    std::string body;
};

// Keeps a record of every request on its way to the real client.
class RecordingHttpClient final : public HttpClient {
public:
    explicit RecordingHttpClient(HttpClient& client) : client_(client) {}
    std::optional<std::string> post(const std::string& url, const std::string& body) override {
        sent.push_back({"POST", url, body});
        return client_.post(url, body);
    }
    std::vector<SentRequest> sent;

private:
    HttpClient& client_;
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

// The real app with the virtual clock, the scripted route and location, its
// requests recorded and its log lines collected.
class ScriptedRun {
public:
    ScriptedRun(QtRuntime& runtime, const LaunchOptions& options);
    ~ScriptedRun();

    RunningApp& app() { return *app_; }
    ManualClock& clock() { return clock_; }
    RecordingHttpClient& http() { return *http_; }
    ScriptedConnectivity& network() { return network_; }
    ScriptedLocationService& location() { return location_; }
    std::optional<int> endedWith() const { return ended_; }
    const std::vector<std::string>& log() const { return log_; }
    void clearLog() { log_.clear(); }

private:
    ManualClock clock_;
    ScriptedConnectivity network_;
    ScriptedLocationService location_;
    std::unique_ptr<RecordingHttpClient> http_;
    std::optional<int> ended_;
    std::vector<std::string> log_;
    std::unique_ptr<RunningApp> app_; // last, so it goes first
};

// Plays the script named by the options on the running app.
int runScripted(QtRuntime& runtime, const LaunchOptions& options, const std::string& optionError);

} // namespace terrabo

#include "automation/ScriptedRun.h"

#include "automation/ScriptedApp.h"
#include "automation/core/ScriptRunner.h"
#include "platform/Log.h"

#include <iostream>

namespace terrabo {

class ScriptedLocationService::Manager final : public LocationManager {
public:
    explicit Manager(ScriptedLocationService& service) : service_(service) { service_.managers.push_back(this); }
    ~Manager() override { std::erase(service_.managers, this); }
    void setDelegate(LocationManagerDelegate* d) override { delegate = d; }
    void setDesiredAccuracyKilometer() override {}
    void startUpdatingLocation() override { updating = true; }
    void stopUpdatingLocation() override { updating = false; }
    LocationManagerDelegate* delegate = nullptr;
    bool updating = false;

private:
    ScriptedLocationService& service_;
};

std::unique_ptr<LocationManager> ScriptedLocationService::createManager() {
    return std::make_unique<Manager>(*this);
}

void ScriptedLocationService::answerFix(double lat, double lon) {
    for (Manager* m : std::vector<Manager*>(managers))
        if (m->updating && m->delegate) {
            m->delegate->didUpdateToLocation(*m, LocationFix{lat, lon}, nullptr);
            return;
        }
}

void ScriptedLocationService::answerError() {
    for (Manager* m : std::vector<Manager*>(managers))
        if (m->updating && m->delegate) {
            m->delegate->didFailWithError(*m);
            return;
        }
}

ScriptedRun::ScriptedRun(QtRuntime& runtime, const LaunchOptions& options) {
    setLogSink([this](const std::string& line) { log_.push_back(line); });
    StandIns standIns;
    standIns.clock = &clock_;
    standIns.connectivity = &network_;
    standIns.location = &location_;
    standIns.http = [this](HttpClient& real) {
        http_ = std::make_unique<RecordingHttpClient>(real);
        return http_.get();
    };
    standIns.exit = [this](int status) { ended_ = status; };
    app_ = std::make_unique<RunningApp>(runtime, options, &standIns);
}

ScriptedRun::~ScriptedRun() {
    app_.reset();
    setLogSink({});
}

int runScripted(QtRuntime& runtime, const LaunchOptions& options, const std::string& optionError) {
    if (!optionError.empty())
        return automation::reportScriptError(std::cout, optionError, 0);
    ScriptedRun run(runtime, options);
    run.app().launch();
    if (!run.app().platform().glView()) {
        std::cerr << "terrabo: the window or its OpenGL ES view could not be created\n";
        return 1;
    }
    ScriptedApp target(run);
    return automation::runScriptFile(*options.script, target, std::cout);
}

} // namespace terrabo

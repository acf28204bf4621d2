#include "app/launch/RunningApp.h"

#include "app/AppContext.h"
#include "app/BuildConfig.h"
#include "automation/ScriptedApp.h"
#include "automation/core/ScriptRunner.h"
#include "engine/Director.h"
#include "engine3d/WorldLayer.h"
#include "overlay/TerraboLayer.h"
#include "platform/Log.h"
#include "platform/Resources.h"
#include "system/curl/CurlHttpClient.h"
#include "system/qt/LifecycleMonitor.h"
#include "system/linux/LinuxRouteProbe.h"
#include "system/qt/QtLocation.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace terrabo {
namespace {

class SteadyClock final : public Clock {
public:
    bool now(double& seconds) override {
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
        return true;
    }
};

// Resources sit next to the installed binary, or in the build tree.
std::string findResourceDir(const char* argv0) {
    if (const char* env = std::getenv("TERRABO_RESOURCES"))
        return env;
    std::error_code ec;
    const auto exe = std::filesystem::canonical(std::filesystem::path(argv0), ec);
    if (!ec) {
        for (const auto& candidate : {exe.parent_path() / "resources", exe.parent_path().parent_path() / "resources",
                                      exe.parent_path().parent_path() / "share" / "terrabo"})
            if (std::filesystem::exists(candidate / "Balls.pod", ec))
                return candidate.string();
    }
    return TERRABO_BUILD_RESOURCE_DIR;
}

std::string g_argv0;

} // namespace

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

RunningApp::RunningApp(QtRuntime& runtime, const automation::LaunchOptions& options, bool scripted)
    : runtime_(runtime), options_(options), scripted_(scripted) {
    ScreenInfo screen;
    screen.bounds = {static_cast<float>(options.screenWidth), static_cast<float>(options.screenHeight)};
    screen.model = options.model.value_or("Linux Phone");
    screen.systemVersion = options.systemVersion.value_or(runningSystemVersion());
    platform_ = std::make_unique<QtPlatform>(screen);
    setResourceDir(findResourceDir(g_argv0.c_str()));
    images_ = std::make_unique<QtImageLoader>(resourceDir());
    setLogSink([this](const std::string& line) { log_.push_back(line); });

    Director::reset();
    Director& director = Director::shared();
    director.imageCache().setLoader(images_.get());
    if (scripted_) {
        director.setClock(&virtualClock_);
        platform_->setExitHandler([this](int status) { ended_ = status; });
    } else {
        realClock_ = std::make_unique<SteadyClock>();
        director.setClock(realClock_.get());
    }
    http_ = std::make_unique<RecordingHttpClient>(std::make_unique<CurlHttpClient>());
    routeProbe_ = std::make_unique<LinuxRouteProbe>();
    historyStore_ = std::make_unique<PlistFile>();
    documents_ = std::make_unique<DocumentsFolder>(options.documents.value_or(""));
    AppContext& app = appContext();
    app.http = http_.get();
    app.connectivity = scripted_ ? static_cast<ConnectivityProbe*>(&scriptedNetwork_) : routeProbe_.get();
    app.historyStore = historyStore_.get();
    realLocation_ = std::make_unique<QtLocationService>();
    app.location = scripted_ ? static_cast<LocationService*>(&scriptedLocation_) : realLocation_.get();
    app.documentsDir = documents_->path();
    app.lookupBase = options.lookupBase.value_or(TERRABO_LOOKUP_BASE);
    app.mapBase = options.mapBase.value_or(TERRABO_MAP_BASE);
    app.appsUrl = options.appsUrl.value_or(TERRABO_APPS_URL);
    app.adsBase = options.adsBase.value_or(TERRABO_ADS_BASE);
    delegate_ = std::make_unique<TerraboAppDelegate>(*platform_, director);
}

RunningApp::~RunningApp() {
    setLogSink({});
    delegate_.reset();
    appContext() = AppContext{};
    Director::reset();
}

void RunningApp::launch() {
    if (scripted_ && platform_)
        platform_->setManualFrames(true);
    delegate_->applicationDidFinishLaunching();
    LifecycleHandlers handlers;
    TerraboAppDelegate* d = delegate_.get();
    handlers.willResignActive = [d] { d->applicationWillResignActive(); };
    handlers.didBecomeActive = [d] { d->applicationDidBecomeActive(); };
    handlers.didReceiveMemoryWarning = [d] { d->applicationDidReceiveMemoryWarning(); };
    handlers.willEnterForeground = [d] { d->applicationWillEnterForeground(); };
    handlers.didEnterBackground = [d] { d->applicationDidEnterBackground(); };
    handlers.willTerminate = [d] { d->applicationWillTerminate(); };
    handlers.significantTimeChange = [d] { d->applicationSignificantTimeChange(); };
    // Scripted runs play the life-cycle themselves.
    if (!scripted_)
        runtime_.watchLifecycle(*platform_, handlers);
}

TerraboLayer* RunningApp::overlay() const {
    if (!delegate_->viewController())
        return nullptr;
    return dynamic_cast<TerraboLayer*>(delegate_->viewController()->controlledNode());
}

int runTerrabo(int argc, char** argv) {
    g_argv0 = argc > 0 ? argv[0] : "terrabo";
    QtRuntime runtime(argc, argv);
    const auto args = runtime.arguments();
    std::vector<char*> argvLeft;
    for (const auto& a : args)
        argvLeft.push_back(const_cast<char*>(a.c_str()));
    automation::LaunchOptions options;
    std::string error;
    const bool ok = automation::parseLaunchOptions(static_cast<int>(argvLeft.size()), argvLeft.data(), options, error);
    if (!ok) {
        if (options.script)
            return automation::reportScriptError(std::cout, error, 0);
        std::cerr << "terrabo: " << error << "\n";
        return 2;
    }
    const bool scripted = options.script.has_value();
    RunningApp app(runtime, options, scripted);
    app.launch();
    if (!app.platform().glView()) {
        std::cerr << "terrabo: the window or its OpenGL ES view could not be created\n";
        return 1;
    }
    if (!scripted)
        return runtime.exec();
    ScriptedApp target(app);
    return automation::runScriptFile(*options.script, target, std::cout);
}

} // namespace terrabo

#include "app/launch/RunningApp.h"

#include "app/AppContext.h"
#include "app/BuildConfig.h"
#include "engine/Director.h"
#include "engine3d/WorldLayer.h"
#include "overlay/TerraboLayer.h"
#include "platform/Log.h"
#include "platform/Resources.h"
#include "system/curl/CurlHttpClient.h"
#include "system/linux/LinuxRouteProbe.h"
#include "system/qt/LifecycleMonitor.h"
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

RunningApp::RunningApp(QtRuntime& runtime, const LaunchOptions& options, const StandIns* standIns)
    : runtime_(runtime), options_(options), scripted_(standIns != nullptr) {
    const StandIns none;
    const StandIns& s = standIns ? *standIns : none;
    ScreenInfo screen;
    screen.bounds = {static_cast<float>(options.screenWidth), static_cast<float>(options.screenHeight)};
    screen.model = options.model.value_or("Linux Phone");
    screen.systemVersion = options.systemVersion.value_or(runningSystemVersion());
    platform_ = std::make_unique<QtPlatform>(screen);
    setResourceDir(findResourceDir(g_argv0.c_str()));
    images_ = std::make_unique<QtImageLoader>(resourceDir());

    Director::reset();
    Director& director = Director::shared();
    director.imageCache().setLoader(images_.get());
    if (s.exit)
        platform_->setExitHandler(s.exit);
    if (!s.clock)
        realClock_ = std::make_unique<SteadyClock>();
    director.setClock(s.clock ? s.clock : realClock_.get());

    realHttp_ = std::make_unique<CurlHttpClient>();
    routeProbe_ = std::make_unique<LinuxRouteProbe>();
    realLocation_ = std::make_unique<QtLocationService>();
    historyStore_ = std::make_unique<PlistFile>();
    documents_ = std::make_unique<DocumentsFolder>(options.documents.value_or(""));
    AppContext& app = appContext();
    app.http = s.http ? s.http(*realHttp_) : realHttp_.get();
    app.connectivity = s.connectivity ? s.connectivity : routeProbe_.get();
    app.location = s.location ? s.location : realLocation_.get();
    app.historyStore = historyStore_.get();
    app.documentsDir = documents_->path();
    app.lookupBase = options.lookupBase.value_or(TERRABO_LOOKUP_BASE);
    app.mapBase = options.mapBase.value_or(TERRABO_MAP_BASE);
    app.appsUrl = options.appsUrl.value_or(TERRABO_APPS_URL);
    app.adsBase = options.adsBase.value_or(TERRABO_ADS_BASE);
    delegate_ = std::make_unique<TerraboAppDelegate>(*platform_, director);
}

RunningApp::~RunningApp() {
    runtime_.stopWatchingLifecycle();
    delegate_.reset();
    // The view's binding still talks to the director while it goes.
    platform_.reset();
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

int runTerrabo(int argc, char** argv, ScriptedMode scripted) {
    g_argv0 = argc > 0 ? argv[0] : "terrabo";
    QtRuntime runtime(argc, argv);
    const auto args = runtime.arguments();
    std::vector<char*> argvLeft;
    for (const auto& a : args)
        argvLeft.push_back(const_cast<char*>(a.c_str()));
    LaunchOptions options;
    std::string error;
    const bool ok = parseLaunchOptions(static_cast<int>(argvLeft.size()), argvLeft.data(), options, error);
    if (options.script)
        return scripted(runtime, options, ok ? std::string() : error);
    if (!ok) {
        std::cerr << "terrabo: " << error << "\n";
        return 2;
    }
    RunningApp app(runtime, options);
    app.launch();
    if (!app.platform().glView()) {
        std::cerr << "terrabo: the window or its OpenGL ES view could not be created\n";
        return 1;
    }
    return runtime.exec();
}

} // namespace terrabo

#include "app/TerraboAppDelegate.h"

#include "app/AppContext.h"
#include "engine/Director.h"
#include "engine3d/WorldLayer.h"
#include "overlay/TerraboLayer.h"
#include "world/TerraboWorld.h"

namespace terrabo {

TerraboAppDelegate::TerraboAppDelegate(Platform& platform, Director& director)
    : platform_(platform), director_(director) {}

TerraboAppDelegate::~TerraboAppDelegate() = default;

void TerraboAppDelegate::applicationDidFinishLaunching() {
    const ScreenInfo screen = platform_.mainScreen();
    const Rect bounds{0, 0, screen.bounds.width, screen.bounds.height};
    window_ = platform_.createWindow(bounds);

    if (!director_.setDirectorType(Director::kDisplayLink, screen.systemVersion))
        director_.setDirectorType(Director::kTimer, screen.systemVersion);

    director_.setDeviceOrientation(1);
    director_.setAnimationInterval(1.0 / 60);
    director_.setDisplayFPS(false);

    renderView_ = platform_.createRenderView(bounds, ColorFormat::RGBA8, kDepthComponent16);

    director_.setWinSize(screen.bounds);
    if (window_ && renderView_) {
        platform_.attachToDirector(*renderView_);
        window_->addSubview(*renderView_);
        window_->makeKeyAndVisible();
    }

    director_.setDefaultPixelFormat(1);
    appContext().platform = &platform_;
    appContext().window = window_.get();
    appContext().renderView = renderView_.get();

    world_ = World::create<TerraboWorld>();

    auto overlay = WorldLayer::create<TerraboLayer>();
    overlay->setWorld(world_);
    world_->play();
    overlay->scheduleUpdate(0);

    viewController_ = std::make_unique<ViewController>();
    viewController_->autorotate = false;
    // The banner was made with the overlay, before the view controller existed.
    if (overlay->bannerView)
        overlay->bannerView->setRootViewController(viewController_.get());
    viewController_->runSceneOnNode(overlay);
}

void TerraboAppDelegate::applicationWillResignActive() { director_.pause(); }

void TerraboAppDelegate::applicationDidBecomeActive() { director_.resume(); }

void TerraboAppDelegate::applicationDidReceiveMemoryWarning() {
    director_.purgeCachedData();
    if (world_)
        world_->cleanCaches();
}

void TerraboAppDelegate::applicationWillEnterForeground() { director_.startAnimation(); }

void TerraboAppDelegate::applicationDidEnterBackground() {
    director_.stopAnimation();
    platform_.exitProcess(0);
}

void TerraboAppDelegate::applicationWillTerminate() {
    if (renderView_)
        renderView_->removeFromSuperview();
    viewController_.reset();
    appContext().window = nullptr;
    window_.reset();
    director_.end();
}

void TerraboAppDelegate::applicationSignificantTimeChange() { director_.setNextDeltaTimeZero(true); }

} // namespace terrabo

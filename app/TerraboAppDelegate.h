#pragma once

#include "platform/Platform.h"

#include <memory>

namespace terrabo {

class Director;
class TerraboWorld;
class ViewController;

// The application delegate: builds window, rendering view, director, world and
// overlay at launch, then only answers life-cycle events.
class TerraboAppDelegate {
public:
    TerraboAppDelegate(Platform& platform, Director& director);
    ~TerraboAppDelegate();

    void applicationDidFinishLaunching();
    void applicationWillResignActive();
    void applicationDidBecomeActive();
    void applicationDidReceiveMemoryWarning();
    void applicationWillEnterForeground();
    void applicationDidEnterBackground();
    void applicationWillTerminate();
    void applicationSignificantTimeChange();

    Window* window() const { return window_.get(); }
    void setWindow(std::unique_ptr<Window> window) { window_ = std::move(window); }

    ViewController* viewController() const { return viewController_.get(); }
    const std::shared_ptr<TerraboWorld>& world() const { return world_; }
    RenderView* renderView() const { return renderView_.get(); }

private:
    Platform& platform_;
    Director& director_;
    std::unique_ptr<Window> window_;
    std::unique_ptr<ViewController> viewController_;
    std::shared_ptr<TerraboWorld> world_;
    // The director draws into it and the window shows it; kept here only so
    // it outlives both.
    std::unique_ptr<RenderView> renderView_;
};

} // namespace terrabo

#pragma once

#include "engine/math/Vec.h"
#include "platform/Banner.h"
#include "platform/TextField.h"
#include "platform/WebPanel.h"
#include "platform/View.h"

#include <functional>
#include <memory>
#include <string>

namespace terrabo {

struct ScreenInfo {
    Size bounds{320, 480}; // points
    std::string model;
    std::string systemVersion;
};

// Colour and depth formats of the rendering view.
enum class ColorFormat { RGBA8 };
constexpr unsigned kDepthComponent16 = 0x81A5;

// The GL view the director draws into and receives touches from.
class RenderView : public View {
public:
    virtual bool valid() const = 0;
};

// Everything the app needs from the application framework, in one place so
// that scripted runs and tests can stand in for parts of it.
class Platform {
public:
    virtual ~Platform() = default;

    virtual ScreenInfo mainScreen() const = 0;
    // Null when the window system refuses.
    virtual std::unique_ptr<Window> createWindow(Rect bounds) = 0;
    // Null when no GL ES 3 view can be made.
    virtual std::unique_ptr<RenderView> createRenderView(Rect bounds, ColorFormat color,
                                                         unsigned depthFormat) = 0;

    // Makes the view the director's drawing target and the receiver of its touches.
    virtual void attachToDirector(RenderView& view) = 0;

    // A modal alert with one button; returns at once, the button only closes it.
    virtual void showAlert(const std::string& title, const std::string& message,
                           const std::string& button) = 0;

    // A single-line text field with the frame (view convention, window coordinates).
    virtual std::unique_ptr<TextField> createTextField(Rect frame) = 0;

    // The standard 320 x 50 banner with a frame; it asks adsBase for house ads.
    virtual std::unique_ptr<BannerView> createBannerView(Rect frame, const std::string& adsBase) = 0;

    // Loads the interface file (a resource) with the owner: its outlets are
    // set, the done button and the web view report to the owner. Null when the
    // file cannot be loaded.
    virtual std::unique_ptr<WebPanel> loadWebPanel(const std::string& interfaceName, WebPanelOwner& owner,
                                                   WebView*& webViewOutlet,
                                                   ActivityIndicator*& indicatorOutlet) = 0;

    // Ends the process with the status (scripted runs end the script instead).
    virtual void exitProcess(int status) = 0;
};

} // namespace terrabo

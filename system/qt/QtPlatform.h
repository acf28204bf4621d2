#pragma once

#include "platform/Platform.h"

#include <QPointer>

#include <functional>
#include <string>
#include <vector>

class QMessageBox;
class QWidget;

namespace terrabo {

class DirectorBinding;
class GlView;

struct AlertInfo {
    std::string title;
    std::string message;
    std::vector<std::string> buttons;
};

// The application framework on Qt Widgets.
class QtPlatform : public Platform {
public:
    explicit QtPlatform(ScreenInfo screen);
    ~QtPlatform() override;

    ScreenInfo mainScreen() const override { return screen_; }
    std::unique_ptr<Window> createWindow(Rect bounds) override;
    std::unique_ptr<RenderView> createRenderView(Rect bounds, ColorFormat color,
                                                 unsigned depthFormat) override;
    void showAlert(const std::string& title, const std::string& message,
                   const std::string& button) override;
    void exitProcess(int status) override;
    void attachToDirector(RenderView& view) override;
    std::unique_ptr<TextField> createTextField(Rect frame) override;
    std::unique_ptr<BannerView> createBannerView(Rect frame, const std::string& adsBase) override;
    std::unique_ptr<WebPanel> loadWebPanel(const std::string& interfaceName, WebPanelOwner& owner,
                                           WebView*& webViewOutlet, ActivityIndicator*& indicatorOutlet) override;
    DirectorBinding* binding() const { return binding_.get(); }
    // Scripted runs make every frame themselves.
    void setManualFrames(bool manual) { manualFrames_ = manual; }
    GlView* glView() const;

    // Clicks the done button of a panel loaded from an interface file.
    void pressPanelDone(WebPanel& panel);

    // Alerts on screen, oldest first; pressing the topmost's only button.
    std::vector<AlertInfo> alerts() const;
    bool pressTopAlertButton();

    QWidget* windowWidget() const;

    // Scripted runs end the script instead of the process.
    void setExitHandler(std::function<void(int)> handler) { exitHandler_ = std::move(handler); }

private:
    void pruneAlerts() const;

    ScreenInfo screen_;
    QPointer<QWidget> window_;
    mutable std::vector<QPointer<QMessageBox>> alerts_;
    std::function<void(int)> exitHandler_;
    std::unique_ptr<DirectorBinding> binding_;
    QPointer<GlView> glView_;
    bool manualFrames_ = false;
};

// "3.1" style versions compared as numbers part by part; the running system's by default.
std::string runningSystemVersion();

} // namespace terrabo

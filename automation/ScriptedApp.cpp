#include "automation/ScriptedApp.h"

#include "automation/ScriptedRun.h"
#include "engine/Director.h"
#include "engine/Menu.h"
#include "overlay/TerraboLayer.h"
#include "system/qt/DirectorBinding.h"
#include "system/qt/GlView.h"
#include "world/CommandBoard.h"

#include <cmath>

namespace terrabo {

using automation::AppEvent;
using automation::BoardCell;

ScriptedApp::ScriptedApp(ScriptedRun& run) : run_(run), app_(run.app()) {}

void ScriptedApp::frames(int count, double dt) {
    DirectorBinding* binding = app_.platform().binding();
    for (int i = 0; i < count && !run_.endedWith(); ++i) {
        run_.clock().advance(dt);
        // A stopped director draws no frames.
        if (binding && Director::shared().isAnimating())
            binding->renderFrame();
        ++frame_;
    }
    // Widgets and replies catch up once the frames are made.
    app_.runtime().processEvents();
}

void ScriptedApp::touch(automation::TouchPhase phase, float x, float y, int taps) {
    GlView* view = app_.platform().glView();
    if (!view)
        return;
    TouchPhaseQt p = TouchPhaseQt::Began;
    switch (phase) {
    case automation::TouchPhase::Began: p = TouchPhaseQt::Began; break;
    case automation::TouchPhase::Moved: p = TouchPhaseQt::Moved; break;
    case automation::TouchPhase::Ended: p = TouchPhaseQt::Ended; break;
    case automation::TouchPhase::Cancelled: p = TouchPhaseQt::Cancelled; break;
    }
    view->deliverTouch(p, {x, y}, taps, 0);
    app_.runtime().processEvents();
}

bool ScriptedApp::button(const std::string& name, std::string& error) {
    TerraboLayer* overlay = app_.overlay();
    if (name == "done") {
        // The panel's own button, pressed as a finger would.
        if (!overlay || !overlay->webDisplayView) {
            error = "no web panel is shown";
            return false;
        }
        app_.platform().pressPanelDone(*overlay->webDisplayView);
        app_.runtime().processEvents();
        return true;
    }
    Node* control = nullptr;
    if (overlay) {
        if (name == "zoomIn")
            control = overlay->zoomInButton;
        else if (name == "zoomOut")
            control = overlay->zoomOutButton;
        else if (name == "search")
            control = overlay->serButt;
        else if (name == "flag")
            control = overlay->flagButt;
        else if (name == "home")
            control = overlay->homeLocButt;
        else if (name == "more" && overlay->serButt && overlay->serButt->parent())
            for (const auto& child : overlay->serButt->parent()->children())
                if (child->zOrder() == 3)
                    control = child.get();
    }
    if (!control) {
        error = "no control named " + name + " on screen";
        return false;
    }
    // The centre of the control, from the engine's convention into the view's.
    const Size size = control->contentSize();
    const Vec3 centre = control->nodeToWorldTransform().transformPoint({size.width / 2, size.height / 2, 0});
    const float height = Director::shared().winSize().height;
    touch(automation::TouchPhase::Began, centre.x, height - centre.y, 1);
    touch(automation::TouchPhase::Ended, centre.x, height - centre.y, 1);
    return true;
}

void ScriptedApp::type(const std::string& text) {
    TerraboLayer* overlay = app_.overlay();
    if (overlay && overlay->myText && overlay->myText->hasSuperview())
        overlay->myText->setText(text);
    app_.runtime().processEvents();
}

void ScriptedApp::pressReturn() {
    TerraboLayer* overlay = app_.overlay();
    if (overlay && overlay->myText && overlay->myText->hasSuperview())
        overlay->myText->pressReturn();
    app_.runtime().processEvents();
}

bool ScriptedApp::alertOk(std::string& error) {
    if (!app_.platform().pressTopAlertButton()) {
        error = "no alert is on screen";
        return false;
    }
    app_.runtime().processEvents();
    return true;
}

bool ScriptedApp::panelWaitLoaded(double seconds, std::string& error) {
    TerraboLayer* overlay = app_.overlay();
    if (!overlay || !overlay->webDisplayView) {
        error = "no web panel is shown";
        return false;
    }
    const double step = 0.05;
    for (double waited = 0; waited < seconds; waited += step) {
        if (overlay->myWebView && overlay->myWebView->loaded())
            return true;
        app_.runtime().waitFor(step);
        if (!overlay->webDisplayView)
            break;
    }
    if (overlay->myWebView && overlay->myWebView->loaded())
        return true;
    error = "the web panel did not finish loading";
    return false;
}

void ScriptedApp::appEvent(AppEvent event) {
    TerraboAppDelegate& d = app_.delegate();
    switch (event) {
    case AppEvent::Resign: d.applicationWillResignActive(); break;
    case AppEvent::Activate: d.applicationDidBecomeActive(); break;
    case AppEvent::Background: d.applicationDidEnterBackground(); break;
    case AppEvent::Foreground: d.applicationWillEnterForeground(); break;
    case AppEvent::Terminate: d.applicationWillTerminate(); break;
    case AppEvent::MemoryWarning: d.applicationDidReceiveMemoryWarning(); break;
    case AppEvent::TimeChange: d.applicationSignificantTimeChange(); break;
    }
}

void ScriptedApp::network(automation::NetworkAnswer answer) {
    network_ = answer;
    using automation::NetworkFlag;
    RouteFlags& flags = run_.network().flags;
    flags.reachable = answer.has(NetworkFlag::Reachable);
    flags.cellular = answer.has(NetworkFlag::Cellular);
    flags.connectionRequired = answer.has(NetworkFlag::ConnectionRequired);
    flags.connectionOnTraffic = answer.has(NetworkFlag::OnTraffic);
    flags.connectionOnDemand = answer.has(NetworkFlag::OnDemand);
    flags.interventionRequired = answer.has(NetworkFlag::InterventionRequired);
}
void ScriptedApp::locationFix(double lat, double lon) {
    run_.location().answerFix(lat, lon);
    app_.runtime().processEvents();
}

void ScriptedApp::locationError() {
    run_.location().answerError();
    app_.runtime().processEvents();
}

void ScriptedApp::board(BoardCell cell, double value) {
    CommandBoard& b = commandBoard();
    const auto flag = static_cast<std::uint8_t>(value != 0.0 ? 1 : 0);
    switch (cell) {
    case BoardCell::AutoZoomPending: b.autoZoomPending = flag; break;
    case BoardCell::CamResetPending: b.camResetPending = flag; break;
    case BoardCell::SpinOn: b.spinOn = flag; break;
    case BoardCell::AutoZoomSteps: b.autoZoomSteps = static_cast<std::int32_t>(std::lround(value)); break;
    case BoardCell::ViewResetPending: b.viewResetPending = flag; break;
    case BoardCell::TargetLat: b.targetLat = static_cast<float>(value); break;
    case BoardCell::SwipeLeftPending: b.swipeLeftPending = flag; break;
    case BoardCell::TargetLon: b.targetLon = static_cast<float>(value); break;
    case BoardCell::SwipeRightPending: b.swipeRightPending = flag; break;
    case BoardCell::TurnPending: b.turnPending = flag; break;
    case BoardCell::ZoomInPending: b.zoomInPending = flag; break;
    case BoardCell::ZoomOutPending: b.zoomOutPending = flag; break;
    }
}

void ScriptedApp::clearLog() { run_.clearLog(); }
void ScriptedApp::clearRequests() { run_.http().sent.clear(); }

automation::Json ScriptedApp::state() { return appState(run_, frame_); }

bool ScriptedApp::screenshot(const std::string& file, std::string& error) {
    return QtRuntime::screenshot(app_.platform(), file, error);
}

bool ScriptedApp::appEnded(int& status) {
    if (!run_.endedWith())
        return false;
    status = *run_.endedWith();
    return true;
}

} // namespace terrabo

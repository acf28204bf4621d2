// The state object of a scripted run, read from the live objects each time.
#include "automation/ScriptedRun.h"
#include "automation/ScriptedApp.h"
#include "engine/Director.h"

#include <filesystem>
#include "engine/Label.h"
#include "engine/Menu.h"
#include "overlay/TerraboLayer.h"
#include "world/CommandBoard.h"
#include "world/TerraboWorld.h"

namespace terrabo {

using automation::Json;

namespace {

Json vec(Vec3 v) { return Json::array({v.x, v.y, v.z}); }
Json vec(Vec2 v) { return Json::array({v.x, v.y}); }
Json optionalText(const std::optional<std::string>& s) { return s ? Json(*s) : Json(); }

Json strings(const std::vector<std::string>* list) {
    if (!list)
        return Json();
    Json a = Json::array();
    for (const auto& s : *list)
        a.push(s);
    return a;
}

Json node3D(Node3D* n) {
    if (!n)
        return Json();
    return Json::object({{"location", vec(n->location())}, {"rotation", vec(n->rotation())}});
}

Json sprite(const Node* n, bool withScale, bool withFlip, bool withOpacity) {
    if (!n)
        return Json();
    Json o = Json::object({{"position", vec(n->position())}});
    if (withScale)
        o.set("scale", Json::array({n->scaleX(), n->scaleY()}));
    if (withOpacity)
        o.set("opacity", static_cast<int>(n->opacity()));
    o.set("z", n->zOrder());
    if (withFlip)
        o.set("flipY", n->flipY());
    return o;
}

Json board() {
    const CommandBoard& b = commandBoard();
    return Json::object({{"autoZoomPending", static_cast<int>(b.autoZoomPending)},
                         {"camResetPending", static_cast<int>(b.camResetPending)},
                         {"spinOn", static_cast<int>(b.spinOn)},
                         {"autoZoomSteps", b.autoZoomSteps},
                         {"viewResetPending", static_cast<int>(b.viewResetPending)},
                         {"targetLat", b.targetLat},
                         {"swipeLeftPending", static_cast<int>(b.swipeLeftPending)},
                         {"targetLon", b.targetLon},
                         {"swipeRightPending", static_cast<int>(b.swipeRightPending)},
                         {"turnPending", static_cast<int>(b.turnPending)},
                         {"zoomInPending", static_cast<int>(b.zoomInPending)},
                         {"zoomOutPending", static_cast<int>(b.zoomOutPending)}});
}

Json world(TerraboWorld* w) {
    if (!w)
        return Json();
    Node3D* lamp = w->getNodeNamed("Lamp");
    Node3D* ball = w->getNodeNamed("BeachBall");
    Json lampJson;
    if (lamp) {
        auto* light = dynamic_cast<Light*>(lamp);
        Node3D* parent = lamp->parent3D();
        lampJson = Json::object({{"parent", parent ? Json(parent->name()) : Json()},
                                 {"location", vec(lamp->location())},
                                 {"directionalOnly", light ? light->directionalOnly : false}});
    }
    int running = 0;
    std::function<void(Node&)> count = [&](Node& n) {
        running += n.runningActionCount();
        for (const auto& c : n.children())
            count(*c);
    };
    count(*w);
    return Json::object({{"playing", w->isPlaying()},
                         {"cam", w->cam ? vec(w->cam->location()) : Json()},
                         {"globe", node3D(w->globe)},
                         {"beachBall", ball ? vec(ball->location()) : Json()},
                         {"ground", node3D(w->getNodeNamed("Ground"))},
                         {"lamp", lampJson},
                         {"xFactor", w->xFactor},
                         {"swipeR", w->swipeR},
                         {"swipeL", w->swipeL},
                         {"runningActions", running}});
}

Json overlay(TerraboLayer* o) {
    if (!o)
        return Json();
    Json timer;
    Scheduler& scheduler = Director::shared().scheduler();
    if (const float* interval = scheduler.timerInterval(o, "callZoom"))
        timer = Json::object({{"interval", *interval}, {"count", scheduler.timerCount(o, "callZoom")}});
    return Json::object({{"typing", o->typing},
                         {"history", o->history},
                         {"more", o->more ? 1 : 0},
                         {"result1", optionalText(o->result1)},
                         {"str", optionalText(o->str)},
                         {"arr", o->arr ? strings(o->arr.get()) : Json::array()},
                         {"placeArr", strings(o->placeArr.get())},
                         {"left1", o->left1},
                         {"right1", o->right1},
                         {"startLoc", vec(o->startLoc)},
                         {"endLoc", vec(o->endLoc)},
                         {"zoomTimer", timer}});
}

Node* moreButton(TerraboLayer* o) {
    if (!o || !o->serButt || !o->serButt->parent())
        return nullptr;
    for (const auto& child : o->serButt->parent()->children())
        if (child->zOrder() == 3)
            return child.get();
    return nullptr;
}

Json controls(TerraboLayer* o) {
    if (!o)
        return Json();
    Node* menu = o->serButt ? o->serButt->parent() : nullptr;
    return Json::object({{"buttbg", sprite(o->buttbg, true, true, false)},
                         {"buttbg1", sprite(o->buttbg1, true, true, false)},
                         {"header", sprite(o->header, false, false, true)},
                         {"menu", sprite(menu, false, false, false)},
                         {"zoomIn", sprite(o->zoomInButton, true, false, false)},
                         {"zoomOut", sprite(o->zoomOutButton, true, false, false)},
                         {"search", sprite(o->serButt, true, false, false)},
                         {"more", sprite(moreButton(o), true, false, false)},
                         {"flag", sprite(o->flagButt, true, false, false)},
                         {"home", sprite(o->homeLocButt, true, false, false)}});
}

Json label(TerraboLayer* o) {
    if (!o || !o->label)
        return Json();
    const Label& l = *o->label;
    const Color3B c = l.color();
    return Json::object({{"text", l.text()},
                         {"position", vec(l.position())},
                         {"color", Json::array({static_cast<int>(c.r), static_cast<int>(c.g), static_cast<int>(c.b)})},
                         {"font", l.fontName()},
                         {"size", l.fontSize()},
                         {"z", l.zOrder()}});
}

Json searchField(TerraboLayer* o) {
    if (!o || !o->myText)
        return Json();
    const TextField& f = *o->myText;
    const Rect r = f.frame();
    return Json::object({{"inWindow", f.hasSuperview()},
                         {"frame", Json::array({r.x, r.y, r.width, r.height})},
                         {"placeholder", f.placeholder()},
                         {"text", f.text()},
                         {"firstResponder", f.isFirstResponder()}});
}

Json panel(TerraboLayer* o) {
    if (!o || !o->webDisplayView)
        return Json();
    const Rect r = o->webDisplayView->frame();
    return Json::object({{"url", o->myWebView ? Json(o->myWebView->url()) : Json()},
                         {"frame", Json::array({r.x, r.y, r.width, r.height})},
                         {"indicatorAnimating", o->activityIndicator ? o->activityIndicator->isAnimating() : false},
                         {"loaded", o->myWebView ? o->myWebView->loaded() : false}});
}

Json banner(TerraboLayer* o) {
    if (!o || !o->bannerView)
        return Json();
    const BannerView& b = *o->bannerView;
    const Rect r = b.frame();
    return Json::object({{"frame", Json::array({r.x, r.y, r.width, r.height})},
                         {"adUnitId", b.adUnitID()},
                         {"requested", b.requested()},
                         // The banner is added at start-up, before any panel, so it lies below.
                         {"belowPanel", true}});
}

} // namespace

Json appState(ScriptedRun& run, long long frame) {
    RunningApp& app = run.app();
    Director& director = Director::shared();
    TerraboLayer* o = app.overlay();
    auto* w = dynamic_cast<TerraboWorld*>(app.delegate().world().get());
    const ScreenInfo screen = app.platform().mainScreen();

    Json alerts = Json::array();
    for (const auto& a : app.platform().alerts()) {
        Json buttons = Json::array();
        for (const auto& b : a.buttons)
            buttons.push(b);
        alerts.push(Json::object({{"title", a.title}, {"message", a.message}, {"buttons", buttons}}));
    }
    Json requests = Json::array();
    for (const auto& r : run.http().sent)
        requests.push(Json::object({{"method", r.method}, {"url", r.url}, {"body", r.body}}));
    const std::string historyPath = app.documents().filePath("name.plist");
    std::error_code ec;
    const bool historyExists = std::filesystem::exists(historyPath, ec);
    Json log = Json::array();
    for (const auto& line : run.log())
        log.push(line);

    return Json::object({
        {"frame", static_cast<double>(frame)},
        {"screen", Json::array({static_cast<int>(screen.bounds.width), static_cast<int>(screen.bounds.height)})},
        {"model", screen.model},
        {"director", Json::object({{"kind", director.kind()},
                                   {"paused", director.isPaused()},
                                   {"interval", static_cast<float>(director.animationInterval())},
                                   {"animating", director.isAnimating()},
                                   {"orientation", director.deviceOrientation()},
                                   {"displayFPS", director.displayFPS()}})},
        {"board", board()},
        {"world", world(w)},
        {"overlay", overlay(o)},
        {"controls", controls(o)},
        {"label", label(o)},
        {"searchField", searchField(o)},
        {"alerts", alerts},
        {"panel", panel(o)},
        {"banner", banner(o)},
        {"historyFile", Json::object({{"path", historyPath}, {"exists", historyExists}})},
        {"log", log},
        {"requests", requests},
    });
}

} // namespace terrabo

#pragma once

#include "automation/core/Json.h"

#include <optional>
#include <string>
#include <string_view>

namespace terrabo::automation {

enum class TouchPhase { Began, Moved, Ended, Cancelled };

enum class AppEvent {
    Resign,
    Activate,
    Background,
    Foreground,
    Terminate,
    MemoryWarning,
    TimeChange
};

// Reachability flags of the default route, as the connectivity probe reports them.
enum class NetworkFlag : unsigned {
    Reachable = 1u << 0,
    Cellular = 1u << 1,
    ConnectionRequired = 1u << 2,
    OnTraffic = 1u << 3,
    OnDemand = 1u << 4,
    InterventionRequired = 1u << 5,
};

struct NetworkAnswer {
    unsigned flags = static_cast<unsigned>(NetworkFlag::Reachable); // wifi
    bool has(NetworkFlag flag) const { return (flags & static_cast<unsigned>(flag)) != 0; }
    friend bool operator==(const NetworkAnswer&, const NetworkAnswer&) = default;
};

// The command-board cells, in the board's own order.
enum class BoardCell {
    AutoZoomPending,
    CamResetPending,
    SpinOn,
    AutoZoomSteps,
    ViewResetPending,
    TargetLat,
    SwipeLeftPending,
    TargetLon,
    SwipeRightPending,
    TurnPending,
    ZoomInPending,
    ZoomOutPending,
};
constexpr int kBoardCellCount = 12;

// Script names; the board's cell names double as the state object's keys.
const char* boardCellName(BoardCell cell);
std::optional<BoardCell> boardCellFromName(std::string_view name);
const char* touchPhaseName(TouchPhase phase);
std::optional<TouchPhase> touchPhaseFromName(std::string_view name);
const char* appEventName(AppEvent event);
std::optional<AppEvent> appEventFromName(std::string_view name);
const char* networkFlagName(NetworkFlag flag);
std::optional<NetworkFlag> networkFlagFromName(std::string_view name);

// The buttons a script may press: the overlay's controls and the web panel's done.
bool isScriptButton(std::string_view name);

// What a script drives: the running app, or a fake in tests. Calls that can
// fail return false with a message; the script then stops with an error.
class ScriptTarget {
  public:
    virtual ~ScriptTarget() = default;

    // N frames, the virtual clock advancing dt seconds before each.
    virtual void frames(int count, double dt) = 0;
    // Points in the view's convention (origin top left, y down).
    virtual void touch(TouchPhase phase, float x, float y, int taps) = 0;
    virtual bool button(const std::string& name, std::string& error) = 0;
    virtual void type(const std::string& text) = 0;
    virtual void pressReturn() = 0;
    // Fails when no alert is on screen.
    virtual bool alertOk(std::string& error) = 0;
    // Waits in real time; fails when the panel has not finished a load by then.
    virtual bool panelWaitLoaded(double seconds, std::string& error) = 0;
    virtual void appEvent(AppEvent event) = 0;
    // The probe's answer from now on.
    virtual void network(NetworkAnswer answer) = 0;
    virtual void locationFix(double lat, double lon) = 0;
    virtual void locationError() = 0;
    virtual void board(BoardCell cell, double value) = 0;
    virtual void clearLog() = 0;
    virtual void clearRequests() = 0;
    virtual Json state() = 0;
    virtual bool screenshot(const std::string& file, std::string& error) = 0;
    // Asked after each command: true once the app ended itself (entering the
    // background ends it with 0), with the status it ended with.
    virtual bool appEnded(int& status) = 0;
};

} // namespace terrabo::automation

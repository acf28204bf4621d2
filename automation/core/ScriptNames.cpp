#include "automation/core/ScriptTarget.h"

#include <array>
#include <utility>

namespace terrabo::automation {

namespace {

template <typename E, std::size_t N> using NameTable = std::array<std::pair<E, const char*>, N>;

constexpr NameTable<BoardCell, kBoardCellCount> kBoardCells{{
    {BoardCell::AutoZoomPending, "autoZoomPending"},
    {BoardCell::CamResetPending, "camResetPending"},
    {BoardCell::SpinOn, "spinOn"},
    {BoardCell::AutoZoomSteps, "autoZoomSteps"},
    {BoardCell::ViewResetPending, "viewResetPending"},
    {BoardCell::TargetLat, "targetLat"},
    {BoardCell::SwipeLeftPending, "swipeLeftPending"},
    {BoardCell::TargetLon, "targetLon"},
    {BoardCell::SwipeRightPending, "swipeRightPending"},
    {BoardCell::TurnPending, "turnPending"},
    {BoardCell::ZoomInPending, "zoomInPending"},
    {BoardCell::ZoomOutPending, "zoomOutPending"},
}};

constexpr NameTable<TouchPhase, 4> kTouchPhases{{
    {TouchPhase::Began, "began"},
    {TouchPhase::Moved, "moved"},
    {TouchPhase::Ended, "ended"},
    {TouchPhase::Cancelled, "cancelled"},
}};

constexpr NameTable<AppEvent, 7> kAppEvents{{
    {AppEvent::Resign, "resign"},
    {AppEvent::Activate, "activate"},
    {AppEvent::Background, "background"},
    {AppEvent::Foreground, "foreground"},
    {AppEvent::Terminate, "terminate"},
    {AppEvent::MemoryWarning, "memory-warning"},
    {AppEvent::TimeChange, "time-change"},
}};

constexpr NameTable<NetworkFlag, 6> kNetworkFlags{{
    {NetworkFlag::Reachable, "reachable"},
    {NetworkFlag::Cellular, "cellular"},
    {NetworkFlag::ConnectionRequired, "connection-required"},
    {NetworkFlag::OnTraffic, "on-traffic"},
    {NetworkFlag::OnDemand, "on-demand"},
    {NetworkFlag::InterventionRequired, "intervention-required"},
}};

constexpr std::array<const char*, 7> kButtons{"zoomIn", "zoomOut", "search", "more",
                                              "flag",   "home",    "done"};

template <typename E, std::size_t N> const char* nameOf(const NameTable<E, N>& table, E value) {
    for (const auto& [entry, name] : table)
        if (entry == value)
            return name;
    return "?";
}

template <typename E, std::size_t N>
std::optional<E> valueOf(const NameTable<E, N>& table, std::string_view name) {
    for (const auto& [entry, entryName] : table)
        if (name == entryName)
            return entry;
    return std::nullopt;
}

} // namespace

const char* boardCellName(BoardCell cell) {
    return nameOf(kBoardCells, cell);
}
std::optional<BoardCell> boardCellFromName(std::string_view name) {
    return valueOf(kBoardCells, name);
}
const char* touchPhaseName(TouchPhase phase) {
    return nameOf(kTouchPhases, phase);
}
std::optional<TouchPhase> touchPhaseFromName(std::string_view name) {
    return valueOf(kTouchPhases, name);
}
const char* appEventName(AppEvent event) {
    return nameOf(kAppEvents, event);
}
std::optional<AppEvent> appEventFromName(std::string_view name) {
    return valueOf(kAppEvents, name);
}
const char* networkFlagName(NetworkFlag flag) {
    return nameOf(kNetworkFlags, flag);
}
std::optional<NetworkFlag> networkFlagFromName(std::string_view name) {
    return valueOf(kNetworkFlags, name);
}

bool isScriptButton(std::string_view name) {
    for (const char* button : kButtons)
        if (name == button)
            return true;
    return false;
}

} // namespace terrabo::automation

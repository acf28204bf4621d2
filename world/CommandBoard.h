#pragma once

#include <cstdint>

namespace terrabo {

// The cells through which the overlay asks the world for changes. Writers store
// and return; the world reads and clears them once per frame in its update.
// One instance for the process, all zero at start.
struct CommandBoard {
    std::uint8_t autoZoomPending = 0;
    std::uint8_t camResetPending = 0;
    std::uint8_t spinOn = 0;
    std::int32_t autoZoomSteps = 0;
    std::uint8_t viewResetPending = 0;
    float targetLat = 0.0f;
    std::uint8_t swipeLeftPending = 0;
    float targetLon = 0.0f;
    std::uint8_t swipeRightPending = 0;
    std::uint8_t turnPending = 0;
    std::uint8_t zoomInPending = 0;
    std::uint8_t zoomOutPending = 0;
};

// The process-wide board.
CommandBoard& commandBoard();

} // namespace terrabo

// The home button: one fix of the device's position, treated like a found place.
#include "app/AppContext.h"
#include "overlay/TerraboLayer.h"
#include "places/LocationGetter.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "world/CommandBoard.h"

#include <cstdio>

namespace terrabo {

void TerraboLayer::homeLocAxn() {
    logLine("homeLocAxn !!!!!");
    if (!connected()) {
        if (appContext().platform)
            appContext().platform->showAlert("Network Error", "You seems to be offline.", "OK");
        return;
    }
    commandBoard().spinOn = 0;
    commandBoard().camResetPending = 1;
    str = "Extra details";
    // The getter it replaces ends its open request and never reports.
    locationGetter = std::make_unique<LocationGetter>(appContext().location);
    locationGetter->setDelegate(this);
    locationGetter->startUpdates();
}

void TerraboLayer::newPhysicalLocation(const LocationFix& location) {
    char found[128];
    std::snprintf(found, sizeof found, "Found physical location.  %f %f", location.latitude, location.longitude);
    logLine("current location is:%s", found);
    CommandBoard& board = commandBoard();
    board.targetLat = static_cast<float>(location.latitude);
    board.targetLon = static_cast<float>(location.longitude);
    // The place text comes from the stored 32-bit values, not the fix's doubles.
    char text[64];
    std::snprintf(text, sizeof text, "%0.3f,%0.3f", static_cast<double>(board.targetLat),
                  static_cast<double>(board.targetLon));
    result1 = text;
    arr->push_back(*result1);
    board.autoZoomSteps = 0;
    board.turnPending = 1;
    startAutoZoomTimer();
    placeFlag();
}

} // namespace terrabo

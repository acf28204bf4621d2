// The zoom buttons, and marking a found place with the flag and a red label.
#include "engine/Label.h"
#include "engine/Menu.h"
#include "overlay/TerraboLayer.h"
#include "platform/Log.h"
#include "world/CommandBoard.h"

namespace terrabo {
namespace {
constexpr const char* kDetailsMarker = "Extra%20details";
constexpr Vec2 kLabelPosition{205.0f, 270.0f};
constexpr Color3B kLabelRed{255, 0, 0};
// Red alone drowns in the red-brown of deserts and the dark of the sea.
constexpr float kLabelOutline = 1.25f;
} // namespace

void TerraboLayer::zoomInAxn() {
    logLine("zoom in !!!!!");
    commandBoard().zoomInPending = 1;
    hideFlag();
    removePlaceLabel();
}

void TerraboLayer::zoomOutAxn() {
    logLine("zoom out !!!!!");
    commandBoard().zoomOutPending = 1;
    hideFlag();
    removePlaceLabel();
}

void TerraboLayer::removePlaceLabel() {
    if (!label)
        return;
    removeChild(label, true);
    label = nullptr;
}

void TerraboLayer::placeFlag() {
    logLine("flag");
    if (flagButt)
        flagButt->setPosition(kFlagShown);
    removePlaceLabel();
    const std::string details = str.value_or("");
    const bool showDetails = details.find(kDetailsMarker) != std::string::npos;
    const std::string text = showDetails ? details : result1.value_or("");
    auto placeLabel = std::make_shared<Label>(text, "Arial", 14.0f, kLabelOutline);
    label = placeLabel.get();
    placeLabel->setPosition(kLabelPosition);
    placeLabel->setColor(kLabelRed);
    addChild(placeLabel, 1);
    if (!showDetails)
        logLine("entered: %s", result1.value_or("").c_str());
}

} // namespace terrabo

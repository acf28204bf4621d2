#pragma once

#include "engine/math/Vec.h"

#include <vector>

namespace terrabo {

// One finger. Locations are in the view's convention: points, origin top left, y down.
struct Touch {
    int id = 0;
    Vec2 location;
    Vec2 previousLocation;
    int tapCount = 1;
};

using TouchSet = std::vector<Touch>;

// Handlers that claim a touch beginning on them; a claimed touch goes to its
// claimer only and never to the layers.
class ClaimingTouchHandler {
public:
    virtual ~ClaimingTouchHandler() = default;
    virtual bool touchBegan(const Touch& touch) = 0;
    virtual void touchMoved(const Touch&) {}
    virtual void touchEnded(const Touch&) {}
    virtual void touchCancelled(const Touch&) {}
};

// Layers: every unclaimed touch, as sets of one phase.
class LayerTouchHandler {
public:
    virtual ~LayerTouchHandler() = default;
    virtual void touchesBegan(const TouchSet&) {}
    virtual void touchesMoved(const TouchSet&) {}
    virtual void touchesEnded(const TouchSet&) {}
    virtual void touchesCancelled(const TouchSet&) {}
};

} // namespace terrabo

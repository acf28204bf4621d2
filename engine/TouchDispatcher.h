#pragma once

#include "engine/Touch.h"

#include <map>
#include <vector>

namespace terrabo {

enum class TouchPhase { Began, Moved, Ended, Cancelled };

// Routes touches: claiming handlers first, by priority (lower first), then the layers.
class TouchDispatcher {
  public:
    void addClaimingHandler(ClaimingTouchHandler* handler, int priority);
    void addLayerHandler(LayerTouchHandler* handler, int priority);
    // Typed, so a class that is both kinds of handler says which one it removes.
    void removeHandler(const ClaimingTouchHandler* handler);
    void removeHandler(const LayerTouchHandler* handler);
    void removeAll();
    bool isRegistered(const ClaimingTouchHandler* handler) const;
    bool isRegistered(const LayerTouchHandler* handler) const;

    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool enabled() const { return enabled_; }

    void dispatch(TouchPhase phase, const TouchSet& touches);

  private:
    struct Claiming {
        ClaimingTouchHandler* handler;
        int priority;
    };
    struct Standard {
        LayerTouchHandler* handler;
        int priority;
    };
    std::vector<Claiming> claiming_;
    std::vector<Standard> standard_;
    std::map<int, ClaimingTouchHandler*> claimed_;
    bool enabled_ = true;
};

} // namespace terrabo

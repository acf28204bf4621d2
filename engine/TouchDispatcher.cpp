#include "engine/TouchDispatcher.h"

#include <algorithm>

namespace terrabo {

void TouchDispatcher::addClaimingHandler(ClaimingTouchHandler* handler, int priority) {
    removeHandler(handler);
    auto it = std::find_if(claiming_.begin(), claiming_.end(),
                           [&](const Claiming& c) { return c.priority > priority; });
    claiming_.insert(it, Claiming{handler, priority});
}

void TouchDispatcher::addLayerHandler(LayerTouchHandler* handler, int priority) {
    removeHandler(handler);
    auto it = std::find_if(standard_.begin(), standard_.end(),
                           [&](const Standard& s) { return s.priority > priority; });
    standard_.insert(it, Standard{handler, priority});
}

void TouchDispatcher::removeHandler(const ClaimingTouchHandler* handler) {
    std::erase_if(claiming_, [&](const Claiming& c) { return c.handler == handler; });
    // Its touches stay claimed, by nobody, so their rest never reaches a layer
    // that did not see them begin.
    for (auto& [id, owner] : claimed_)
        if (owner == handler)
            owner = nullptr;
}

void TouchDispatcher::removeHandler(const LayerTouchHandler* handler) {
    std::erase_if(standard_, [&](const Standard& s) { return s.handler == handler; });
}

bool TouchDispatcher::isRegistered(const ClaimingTouchHandler* handler) const {
    return std::any_of(claiming_.begin(), claiming_.end(),
                       [&](const Claiming& c) { return c.handler == handler; });
}

bool TouchDispatcher::isRegistered(const LayerTouchHandler* handler) const {
    return std::any_of(standard_.begin(), standard_.end(),
                       [&](const Standard& s) { return s.handler == handler; });
}

void TouchDispatcher::removeAll() {
    claiming_.clear();
    standard_.clear();
    claimed_.clear();
}

void TouchDispatcher::dispatch(TouchPhase phase, const TouchSet& touches) {
    if (!enabled_)
        return;
    TouchSet unclaimed;
    for (const Touch& touch : touches) {
        if (phase == TouchPhase::Began) {
            bool taken = false;
            const auto handlers = claiming_;
            for (const Claiming& c : handlers)
                if (isRegistered(c.handler) && c.handler->touchBegan(touch)) {
                    claimed_[touch.id] = c.handler;
                    taken = true;
                    break;
                }
            if (!taken)
                unclaimed.push_back(touch);
            continue;
        }
        auto it = claimed_.find(touch.id);
        if (it == claimed_.end()) {
            unclaimed.push_back(touch);
            continue;
        }
        ClaimingTouchHandler* owner = it->second;
        if (phase == TouchPhase::Moved) {
            if (owner)
                owner->touchMoved(touch);
        } else {
            claimed_.erase(it);
            if (!owner)
                continue;
            if (phase == TouchPhase::Ended)
                owner->touchEnded(touch);
            else
                owner->touchCancelled(touch);
        }
    }
    if (unclaimed.empty())
        return;
    const auto handlers = standard_;
    for (const Standard& s : handlers) {
        // An earlier handler may have taken this one off.
        if (!isRegistered(s.handler))
            continue;
        switch (phase) {
        case TouchPhase::Began:
            s.handler->touchesBegan(unclaimed);
            break;
        case TouchPhase::Moved:
            s.handler->touchesMoved(unclaimed);
            break;
        case TouchPhase::Ended:
            s.handler->touchesEnded(unclaimed);
            break;
        case TouchPhase::Cancelled:
            s.handler->touchesCancelled(unclaimed);
            break;
        }
    }
}

} // namespace terrabo

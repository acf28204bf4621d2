#pragma once

#include "engine/Layer.h"
#include "engine/Sprite.h"

#include <functional>

namespace terrabo {

// A button made of a normal sprite and an optional pressed one.
class MenuItem : public Node {
public:
    MenuItem(std::shared_ptr<Sprite> normal, std::shared_ptr<Sprite> pressed,
             std::function<void()> action);

    void setEnabled(bool e) { enabled_ = e; }
    bool enabled() const { return enabled_; }
    bool selected() const { return selected_; }
    void select();
    void unselect();
    void activate();

    Sprite* normalSprite() const { return normal_.get(); }
    Sprite* pressedSprite() const { return pressed_.get(); }

private:
    std::shared_ptr<Sprite> normal_;
    std::shared_ptr<Sprite> pressed_;
    std::function<void()> action_;
    bool enabled_ = true;
    bool selected_ = false;
};

// Holds buttons and takes any touch that begins on a visible, enabled one
// before the layers see it. The button under the finger at lift-off fires once.
class Menu : public Layer, public ClaimingTouchHandler {
public:
    explicit Menu(const std::vector<std::shared_ptr<MenuItem>>& items);
    void onEnter() override;
    void onExit() override;

    bool touchBegan(const Touch& touch) override;
    void touchMoved(const Touch& touch) override;
    void touchEnded(const Touch& touch) override;
    void touchCancelled(const Touch& touch) override;

    MenuItem* selectedItem() const { return selected_; }
    MenuItem* itemAt(Vec2 viewPoint) const;

    // Claimed ahead of every layer.
    static constexpr int kTouchPriority = -128;

private:
    MenuItem* selected_ = nullptr;
    bool tracking_ = false;
};

} // namespace terrabo

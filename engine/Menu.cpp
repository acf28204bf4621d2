#include "engine/Menu.h"

#include "engine/Director.h"

namespace terrabo {

MenuItem::MenuItem(std::shared_ptr<Sprite> normal, std::shared_ptr<Sprite> pressed,
                   std::function<void()> action)
    : normal_(std::move(normal)), pressed_(std::move(pressed)), action_(std::move(action)) {
    if (normal_) {
        setContentSize(normal_->contentSize());
        normal_->setAnchor({0.0f, 0.0f});
        addChild(normal_);
    }
    if (pressed_) {
        pressed_->setAnchor({0.0f, 0.0f});
        pressed_->setVisible(false);
        addChild(pressed_);
    }
}

void MenuItem::select() {
    selected_ = true;
    if (pressed_) {
        pressed_->setVisible(true);
        if (normal_)
            normal_->setVisible(false);
    }
}

void MenuItem::unselect() {
    selected_ = false;
    if (normal_)
        normal_->setVisible(true);
    if (pressed_)
        pressed_->setVisible(false);
}

void MenuItem::activate() {
    if (enabled_ && action_)
        action_();
}

Menu::Menu(const std::vector<std::shared_ptr<MenuItem>>& items) {
    int z = 0;
    for (const auto& item : items)
        addChild(item, z++);
}

void Menu::onEnter() {
    Director::shared().touchDispatcher().addClaimingHandler(this, kTouchPriority);
    Layer::onEnter();
}

void Menu::onExit() {
    Director::shared().touchDispatcher().removeHandler(static_cast<ClaimingTouchHandler*>(this));
    // A touch cut short here never ends for us; without this the menu would stay deaf.
    touchCancelled(Touch{});
    Layer::onExit();
}

MenuItem* Menu::itemAt(Vec2 viewPoint) const {
    const Vec2 local = convertTouchToNodeSpace(viewPoint);
    for (auto it = children().rbegin(); it != children().rend(); ++it) {
        auto* item = dynamic_cast<MenuItem*>(it->get());
        if (item && item->visible() && item->enabled() && item->boundingBox().contains(local))
            return item;
    }
    return nullptr;
}

bool Menu::touchBegan(const Touch& touch) {
    if (tracking_ || !isShown())
        return false;
    selected_ = itemAt(touch.location);
    if (!selected_)
        return false;
    tracking_ = true;
    selected_->select();
    return true;
}

void Menu::touchMoved(const Touch& touch) {
    MenuItem* under = itemAt(touch.location);
    if (under == selected_)
        return;
    if (selected_)
        selected_->unselect();
    selected_ = under;
    if (selected_)
        selected_->select();
}

void Menu::touchEnded(const Touch& touch) {
    tracking_ = false;
    if (selected_)
        selected_->unselect();
    selected_ = nullptr;
    if (MenuItem* item = itemAt(touch.location))
        item->activate();
}

void Menu::touchCancelled(const Touch&) {
    tracking_ = false;
    if (selected_)
        selected_->unselect();
    selected_ = nullptr;
}

} // namespace terrabo

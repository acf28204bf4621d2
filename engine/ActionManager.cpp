#include "engine/ActionManager.h"

#include "engine/Action.h"
#include "engine/Scheduler.h"

#include <algorithm>

namespace terrabo {

ActionManager::~ActionManager() {
    if (registered_)
        scheduler_.unscheduleUpdate(this);
}

void ActionManager::ensureRegistered() {
    if (registered_)
        return;
    registered_ = true;
    scheduler_.scheduleUpdate(this, 0, false, [this](float dt) { update(dt); });
}

void ActionManager::addAction(std::shared_ptr<Action> action, Node* target, bool paused) {
    ensureRegistered();
    action->startWithTarget(target);
    entries_.push_back(Entry{std::move(action), target, paused, false});
}

void ActionManager::removeAllActionsFromTarget(const Node* target) {
    for (auto& e : entries_)
        if (e.target == target)
            e.removed = true;
}

void ActionManager::pauseTarget(const Node* target) {
    for (auto& e : entries_)
        if (e.target == target)
            e.paused = true;
}

void ActionManager::resumeTarget(const Node* target) {
    for (auto& e : entries_)
        if (e.target == target)
            e.paused = false;
}

int ActionManager::runningActionCount(const Node* target) const {
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return e.target == target && !e.removed;
    }));
}

int ActionManager::runningActionCount() const {
    return static_cast<int>(
        std::count_if(entries_.begin(), entries_.end(), [](const Entry& e) { return !e.removed; }));
}

void ActionManager::update(float dt) {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].removed || entries_[i].paused)
            continue;
        std::shared_ptr<Action> action = entries_[i].action;
        if (action->step(dt))
            entries_[i].removed = true;
    }
    std::erase_if(entries_, [](const Entry& e) { return e.removed; });
}

} // namespace terrabo

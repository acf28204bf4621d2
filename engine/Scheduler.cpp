#include "engine/Scheduler.h"

#include <algorithm>

namespace terrabo {
namespace {
int group(int priority) { return priority < 0 ? 0 : (priority == 0 ? 1 : 2); }
} // namespace

void Scheduler::scheduleUpdate(const void* target, int priority, bool paused, Update update) {
    for (auto& e : updates_)
        if (e.target == target && !e.removed)
            return;
    UpdateEntry entry{target, priority, paused, false, std::move(update)};
    // Within a group, registration order; groups ordered negative, zero, positive.
    auto it = std::find_if(updates_.begin(), updates_.end(),
                           [&](const UpdateEntry& e) { return group(e.priority) > group(priority); });
    // Registered ahead of the running update: keep the tick from running that one twice.
    if (ticking_ && static_cast<std::size_t>(it - updates_.begin()) <= tickIndex_)
        ++tickIndex_;
    updates_.insert(it, std::move(entry));
}

void Scheduler::unscheduleUpdate(const void* target) {
    for (auto& e : updates_)
        if (e.target == target)
            e.removed = true;
    if (!ticking_)
        compact();
}

void Scheduler::schedule(const void* target, const std::string& key, TimerAction action,
                         float interval, bool paused) {
    for (auto& t : timers_)
        if (t.target == target && t.key == key && !t.removed) {
            t.interval = interval;
            return;
        }
    timers_.push_back(Timer{target, key, std::move(action), interval, 0.0f, false, paused, false});
}

void Scheduler::unschedule(const void* target, const std::string& key) {
    for (auto& t : timers_)
        if (t.target == target && t.key == key)
            t.removed = true;
    if (!ticking_)
        compact();
}

void Scheduler::unscheduleAll(const void* target) {
    unscheduleUpdate(target);
    for (auto& t : timers_)
        if (t.target == target)
            t.removed = true;
    if (!ticking_)
        compact();
}

void Scheduler::pauseTarget(const void* target) {
    for (auto& e : updates_)
        if (e.target == target)
            e.paused = true;
    for (auto& t : timers_)
        if (t.target == target)
            t.paused = true;
}

void Scheduler::resumeTarget(const void* target) {
    for (auto& e : updates_)
        if (e.target == target)
            e.paused = false;
    for (auto& t : timers_)
        if (t.target == target)
            t.paused = false;
}

int Scheduler::timerCount(const void* target, const std::string& key) const {
    return static_cast<int>(std::count_if(timers_.begin(), timers_.end(), [&](const Timer& t) {
        return t.target == target && t.key == key && !t.removed;
    }));
}

const float* Scheduler::timerInterval(const void* target, const std::string& key) const {
    for (const auto& t : timers_)
        if (t.target == target && t.key == key && !t.removed)
            return &t.interval;
    return nullptr;
}

bool Scheduler::hasUpdate(const void* target) const {
    return std::any_of(updates_.begin(), updates_.end(),
                       [&](const UpdateEntry& e) { return e.target == target && !e.removed; });
}

bool Scheduler::isUpdatePaused(const void* target) const {
    for (const auto& e : updates_)
        if (e.target == target && !e.removed)
            return e.paused;
    return false;
}

void Scheduler::tick(float dt) {
    ticking_ = true;
    // Index loops: an update may register others (the action runner joins group 0 late).
    for (tickIndex_ = 0; tickIndex_ < updates_.size(); ++tickIndex_) {
        if (updates_[tickIndex_].removed || updates_[tickIndex_].paused)
            continue;
        Update update = updates_[tickIndex_].update;
        update(dt);
    }
    const std::size_t timerCountAtStart = timers_.size();
    for (std::size_t i = 0; i < timerCountAtStart; ++i) {
        if (timers_[i].removed || timers_[i].paused)
            continue;
        Timer& t = timers_[i];
        // Counting starts with the first tick after scheduling.
        if (!t.started) {
            t.started = true;
            t.elapsed = 0.0f;
            continue;
        }
        t.elapsed += dt;
        if (t.elapsed >= t.interval) {
            t.elapsed = 0.0f;
            TimerAction action = t.action;
            action();
        }
    }
    ticking_ = false;
    compact();
}

void Scheduler::compact() {
    std::erase_if(updates_, [](const UpdateEntry& e) { return e.removed; });
    std::erase_if(timers_, [](const Timer& t) { return t.removed; });
}

} // namespace terrabo

#pragma once

#include <functional>
#include <string>
#include <vector>

namespace terrabo {

// Per-frame update targets in priority groups (<0, 0, >0, each in registration
// order) and interval timers that fire at most once per tick.
class Scheduler {
public:
    using Update = std::function<void(float)>;
    using TimerAction = std::function<void()>;

    void scheduleUpdate(const void* target, int priority, bool paused, Update update);
    void unscheduleUpdate(const void* target);

    // Scheduling an existing (target, key) again only changes its interval.
    void schedule(const void* target, const std::string& key, TimerAction action, float interval,
                  bool paused);
    void unschedule(const void* target, const std::string& key);
    void unscheduleAll(const void* target);

    void pauseTarget(const void* target);
    void resumeTarget(const void* target);

    int timerCount(const void* target, const std::string& key) const;
    const float* timerInterval(const void* target, const std::string& key) const;
    bool hasUpdate(const void* target) const;
    bool isUpdatePaused(const void* target) const;

    void tick(float dt);

private:
    struct UpdateEntry {
        const void* target;
        int priority;
        bool paused;
        bool removed;
        Update update;
    };
    struct Timer {
        const void* target;
        std::string key;
        TimerAction action;
        float interval;
        float elapsed;
        bool started;
        bool paused;
        bool removed;
    };
    void compact();

    std::vector<UpdateEntry> updates_; // kept sorted by priority group, stable
    std::vector<Timer> timers_;
    bool ticking_ = false;
    std::size_t tickIndex_ = 0; // the update running now, while ticking
};

} // namespace terrabo

#pragma once

#include <memory>
#include <vector>

namespace terrabo {

class Action;
class Node;
class Scheduler;

// Steps running actions in the order they were started, once per tick.
class ActionManager {
public:
    explicit ActionManager(Scheduler& scheduler) : scheduler_(scheduler) {}
    ~ActionManager();

    // Joins the scheduler's priority-0 group the first time it is used.
    void ensureRegistered();

    void addAction(std::shared_ptr<Action> action, Node* target, bool paused);
    void removeAllActionsFromTarget(const Node* target);
    void pauseTarget(const Node* target);
    void resumeTarget(const Node* target);
    int runningActionCount(const Node* target) const;
    int runningActionCount() const;

    void update(float dt);

private:
    struct Entry {
        std::shared_ptr<Action> action;
        Node* target;
        bool paused;
        bool removed;
    };
    Scheduler& scheduler_;
    std::vector<Entry> entries_;
    bool registered_ = false;
};

} // namespace terrabo

#pragma once

namespace terrabo {

class Node;

// A timed change of a node. The first step comes at t = 0 in the tick that
// starts it; each later step adds that tick's dt.
class Action {
public:
    explicit Action(float duration) : duration_(duration) {}
    virtual ~Action() = default;

    virtual void startWithTarget(Node* target) {
        target_ = target;
        elapsed_ = 0.0f;
        firstStep_ = true;
    }
    // Advances by dt (ignored on the first step); returns true when done.
    bool step(float dt);
    bool isDone() const { return done_; }
    float duration() const { return duration_; }
    float elapsed() const { return static_cast<float>(elapsed_); }
    Node* target() const { return target_; }

protected:
    // t from 0 to 1.
    virtual void update(float t) = 0;

private:
    float duration_;
    // Summed in double: sixty float steps of 1/60 s would fall short of one second.
    double elapsed_ = 0.0;
    bool firstStep_ = true;
    bool done_ = false;
    Node* target_ = nullptr;
};

} // namespace terrabo

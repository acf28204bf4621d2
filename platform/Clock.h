#pragma once

namespace terrabo {

// A monotonic source of seconds. Time is an input: the director reads it,
// tests and scripted runs drive a virtual one.
class Clock {
public:
    virtual ~Clock() = default;
    // False when the clock cannot be read.
    virtual bool now(double& seconds) = 0;
};

// A clock that only moves when told to.
class ManualClock final : public Clock {
public:
    bool now(double& seconds) override {
        if (!readable_)
            return false;
        seconds = time_;
        return true;
    }
    void advance(double seconds) { time_ += seconds; }
    void set(double seconds) { time_ = seconds; }
    void setReadable(bool readable) { readable_ = readable; }
    double time() const { return time_; }

private:
    double time_ = 0.0;
    bool readable_ = true;
};

} // namespace terrabo

#pragma once

namespace zr {

// Monotonic time in seconds, and a sleep that gives the processor away while it waits.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
    virtual void sleep(double seconds) = 0;
};

}  // namespace zr

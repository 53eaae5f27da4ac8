#pragma once

#include "shared/clock.h"

namespace zr {

// Monotonic seconds from std::chrono::steady_clock; sleep gives the processor away.
class SteadyClock : public Clock {
public:
    double now() const override;
    void sleep(double seconds) override;
};

}  // namespace zr

#pragma once

#include <chrono>
#include <thread>

#include "shared/clock.h"

// The standard library's monotonic clock; sleeping gives the processor away.
class SteadyTestClock : public zr::Clock {
public:
    double now() const override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }
    void sleep(double seconds) override {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }
};

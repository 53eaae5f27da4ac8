#pragma once

#include <vector>

#include "shared/clock.h"

namespace zr::test {

// A clock that only moves when the code under test sleeps.
class FakeClock : public Clock {
public:
    double now() const override { return now_; }
    void sleep(double seconds) override {
        sleeps.push_back(seconds);
        now_ += seconds;
    }
    // Time that passes while the code waits on something else than the clock.
    void advance(double seconds) { now_ += seconds; }

    std::vector<double> sleeps;

private:
    double now_ = 1000.0;
};

}  // namespace zr::test

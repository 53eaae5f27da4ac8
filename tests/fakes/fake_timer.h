#pragma once

#include "shared/timer.h"

namespace zr::test {

class FakeTimer : public Timer {
public:
    int interval() const override { return interval_; }
    void setInterval(int milliseconds) override { interval_ = milliseconds; }
    bool enabled() const override { return enabled_; }
    void setEnabled(bool on) override {
        enabled_ = on;
        if (on) ++enableCount;
    }

    int enableCount = 0;

private:
    int interval_ = 0;
    bool enabled_ = false;
};

}  // namespace zr::test

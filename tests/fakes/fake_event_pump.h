#pragma once

#include <functional>

#include "shared/event_pump.h"

namespace zr::test {

// Counts the points where pending events run; a test may put an action there (a click
// arriving mid-transaction, an unchecked box).
class FakeEventPump : public EventPump {
public:
    void processEvents() override {
        ++count;
        if (onProcess) onProcess();
    }

    int count = 0;
    std::function<void()> onProcess;
};

}  // namespace zr::test

#pragma once

#include "shared/event_pump.h"

namespace zr {

// Lets the window's pending events run once.
class QtEventPump : public EventPump {
public:
    void processEvents() override;
};

}  // namespace zr

#pragma once

namespace zr {

// Lets the window's pending events run once, from inside a running handler.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processEvents() = 0;
};

}  // namespace zr

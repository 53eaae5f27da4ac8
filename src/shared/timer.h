#pragma once

namespace zr {

// The reply time-out timer. The form calls Timer2_Timer when it fires.
class Timer {
public:
    virtual ~Timer() = default;
    virtual int interval() const = 0;  // milliseconds
    virtual void setInterval(int milliseconds) = 0;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool on) = 0;
};

}  // namespace zr

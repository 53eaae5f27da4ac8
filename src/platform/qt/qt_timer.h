#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

#include "shared/timer.h"

namespace zr {

// The reply time-out timer over QTimer: while enabled it calls `fired` every interval.
class QtTimer : public QObject, public Timer {
    Q_OBJECT
public:
    explicit QtTimer(std::function<void()> fired);

    int interval() const override { return timer_.interval(); }
    void setInterval(int milliseconds) override;
    bool enabled() const override { return timer_.isActive(); }
    void setEnabled(bool on) override;

private:
    QTimer timer_;
    std::function<void()> fired_;
};

}  // namespace zr

#include "platform/qt/qt_timer.h"

namespace zr {

QtTimer::QtTimer(std::function<void()> fired) : fired_(std::move(fired)) {
    connect(&timer_, &QTimer::timeout, this, [this] { fired_(); });
}

void QtTimer::setInterval(int milliseconds) {
    // Changing the interval of a running timer keeps it running; Qt restarts its countdown.
    timer_.setInterval(milliseconds);
}

void QtTimer::setEnabled(bool on) {
    if (on && !timer_.isActive())
        timer_.start();
    else if (!on)
        timer_.stop();
}

}  // namespace zr

#include "motion.h"

#include <algorithm>

namespace pumpsim {

int32_t Motion::PositionAt(double now) const {
    for (const Move& m : moves_) {
        if (now >= m.end) continue;
        if (now <= m.start) return m.fromPosition;
        const double done = (now - m.start) / (m.end - m.start);
        return m.fromPosition + static_cast<int32_t>((m.toPosition - m.fromPosition) * done);
    }
    return FinalPosition();
}

int Motion::PortAt(double now) const {
    int port = restPort_;
    for (const Move& m : moves_) {
        if (now < m.end) break;
        port = m.toPort;
    }
    return port;
}

void Motion::Append(double now, double seconds, int32_t toPosition, int toPort) {
    Settle(now);
    const double start = std::max(now, BusyUntil());
    const int32_t from = FinalPosition();
    moves_.push_back(Move{start, start + seconds, from, toPosition, toPort});
}

void Motion::Stop(double now) {
    restPosition_ = PositionAt(now);
    restPort_ = PortAt(now);
    moves_.clear();
}

// Folds finished moves into the rest state so that the queue holds only what is to come.
void Motion::Settle(double now) {
    while (!moves_.empty() && moves_.front().end <= now) {
        restPosition_ = moves_.front().toPosition;
        restPort_ = moves_.front().toPort;
        moves_.pop_front();
    }
}

}  // namespace pumpsim

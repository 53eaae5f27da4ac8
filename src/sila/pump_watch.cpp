#include "sila/pump_watch.h"

#include <QTimer>
#include <algorithm>
#include <chrono>

#include "link/position_display.h"
#include "sila/exchange_outcome.h"

namespace zr::sila {

namespace {

constexpr double kPollSeconds = 0.2;
// How often a follower waiting for a change looks whether its client has gone. Every look
// wakes a thread of its own: a hundred subscribers looking four times a second cost more than
// polling the pumps. The server's end wakes them at once (end()).
constexpr std::chrono::milliseconds kGoneCheck(1000);

const std::string& Of(const auto& reading, PumpWatch::Value value) {
    switch (value) {
        case PumpWatch::Value::Position:
            return reading.position;
        case PumpWatch::Value::Valve:
            return reading.valve;
        case PumpWatch::Value::Status:
            break;
    }
    return reading.pumpStatus;
}

}  // namespace

PumpWatch::PumpWatch(PortQueue& queue, int address) : queue_(queue), address_(address) {}

grpc::Status PumpWatch::follow(Value value, const std::function<bool(const std::string&)>& write,
                               const std::function<bool()>& gaveUp) {
    std::unique_lock lock(mutex_);
    ++followers_;
    if (value == Value::Valve) ++valveFollowers_;
    // A running poll's last reading is current (unless it lacks the valve); otherwise the
    // first value is the next cycle's.
    long seen = reading_.number;
    if (polling_ && reading_.status.ok() && !(value == Value::Valve && reading_.valve.empty())) --seen;
    if (!std::exchange(polling_, true)) {
        restarted_ = true;
        queue_.post([this](cli::Session& session) { poll(session); });
    }
    std::string last;
    bool written = false;
    grpc::Status status;
    while (!ending_ && !gaveUp()) {
        if (!changed_.wait_for(lock, kGoneCheck, [&] { return reading_.number > seen; })) continue;
        seen = reading_.number;
        if (!reading_.status.ok()) {
            status = reading_.status;
            break;
        }
        const std::string now = Of(reading_, value);
        if (written && now == last) continue;
        lock.unlock();
        const bool more = write(now);
        lock.lock();
        if (!more) break;
        last = now;
        written = true;
    }
    --followers_;
    if (value == Value::Valve) --valveFollowers_;
    return status;
}

void PumpWatch::end() {
    const std::lock_guard lock(mutex_);
    ending_ = true;
    changed_.notify_all();
}

void PumpWatch::poll(cli::Session& session) {
    bool valve = false;
    {
        const std::lock_guard lock(mutex_);
        if (followers_ == 0) {
            polling_ = false;
            return;
        }
        valve = valveFollowers_ > 0;
    }
    const double start = session.now();
    Reading next;
    const cli::Answer position = session.send("?", address_);
    next.status = Outcome(session, position, address_, false);
    next.position = position.data;
    next.pumpStatus = position.status;
    if (next.status.ok() && valve) {
        const cli::Answer port = session.send("?8", address_);
        next.status = Outcome(session, port, address_, false);
        next.valve = PortLetter(port.data);
    }
    {
        const std::lock_guard lock(mutex_);
        next.number = reading_.number + 1;
        // The followers wake only for what may be news to them: a change, an error, or the
        // first reading since the poll began again (which those who started it wait for).
        const bool news = std::exchange(restarted_, false) || !next.status.ok() || !reading_.status.ok() ||
                          next.position != reading_.position || next.valve != reading_.valve ||
                          next.pumpStatus != reading_.pumpStatus;
        reading_ = next;
        if (news) changed_.notify_all();
    }
    const double wait = std::max(0.0, kPollSeconds - (session.now() - start));
    QTimer::singleShot(std::chrono::milliseconds(static_cast<int>(wait * 1000)), queue_.context(),
                       [this] { queue_.post([this](cli::Session& s) { poll(s); }); });
}

}  // namespace zr::sila

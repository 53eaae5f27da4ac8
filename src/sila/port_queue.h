#pragma once

#include <QObject>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "cli/link_options.h"
#include "cli/session.h"

namespace zr::sila {

// One port's line and its one owner: a thread of its own (with its event loop, which the
// transaction's waits and timers need) holding the port's session, and a queue of whole
// exchanges. Every request for the pumps of this port goes through the queue, so that they
// interleave exchanges, never bytes; no other thread touches the session.
class PortQueue {
public:
    using Work = std::function<void(cli::Session&)>;

    explicit PortQueue(const cli::LinkOptions& link);
    // Drops what still waits, lets the exchange on the line end, closes the line and ends the
    // thread.
    ~PortQueue();
    PortQueue(const PortQueue&) = delete;
    PortQueue& operator=(const PortQueue&) = delete;

    // From now on nothing waiting is begun and a wait for a reply ends early: the program is
    // ending.
    void end();
    bool ending() const { return ending_; }

    // Puts `work` on the queue behind what waits there or, `first`, ahead of it.
    void post(Work work, bool first = false);
    // Puts `work` on the queue and waits until it is done: true. False when `gaveUp` turned true
    // before the work began (a cancelled call): it is dropped. Work that has begun is waited
    // for, so that it may use what the caller holds.
    bool run(Work work, const std::function<bool()>& gaveUp, bool first = false);

    // For timers on the port's thread.
    QObject* context() { return &context_; }

private:
    void drain();
    void close();

    QThread thread_;
    QObject context_;
    std::unique_ptr<cli::Session> session_;
    std::mutex mutex_;
    std::deque<Work> queue_;
    std::atomic<bool> ending_{false};
    std::condition_variable closedChanged_;
    bool closed_ = false;
    bool draining_ = false;         // on the port's thread only
    bool closeAfterDrain_ = false;  // likewise
};

}  // namespace zr::sila

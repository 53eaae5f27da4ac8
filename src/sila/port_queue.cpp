#include "sila/port_queue.h"

#include <chrono>
#include <utility>

namespace zr::sila {

PortQueue::PortQueue(const cli::LinkOptions& link) {
    thread_.start();
    context_.moveToThread(&thread_);
    QMetaObject::invokeMethod(
        &context_,
        [this, link] {
            session_ = std::make_unique<cli::Session>(link, true);
            session_->serveClients([this] { return ending_.load(); });
        },
        Qt::BlockingQueuedConnection);
}

// The session goes on the port's thread, once no exchange is on the line; then the thread ends
// (its context may go with it once it no longer runs).
PortQueue::~PortQueue() {
    {
        const std::lock_guard lock(mutex_);
        queue_.clear();
    }
    QMetaObject::invokeMethod(
        &context_, [this] { close(); }, Qt::QueuedConnection);
    {
        std::unique_lock lock(mutex_);
        closedChanged_.wait(lock, [this] { return closed_; });
    }
    thread_.quit();
    thread_.wait();
}

void PortQueue::end() {
    ending_ = true;
    {
        const std::lock_guard lock(mutex_);
        queue_.clear();
    }
    // Wakes a wait for a reply, which then sees the end.
    QMetaObject::invokeMethod(
        &context_, [] {}, Qt::QueuedConnection);
}

void PortQueue::close() {
    if (draining_) {
        closeAfterDrain_ = true;
        return;
    }
    session_.reset();
    const std::lock_guard lock(mutex_);
    closed_ = true;
    closedChanged_.notify_all();
}

void PortQueue::post(Work work, bool first) {
    {
        const std::lock_guard lock(mutex_);
        if (ending_) return;
        if (first)
            queue_.push_front(std::move(work));
        else
            queue_.push_back(std::move(work));
    }
    QMetaObject::invokeMethod(
        &context_, [this] { drain(); }, Qt::QueuedConnection);
}

// The transaction lets events run while it waits for a reply, so a drain can be asked for
// inside an exchange: it leaves the queue to the drain already running, which takes the next
// work once the exchange is whole.
void PortQueue::drain() {
    if (draining_) return;
    draining_ = true;
    for (;;) {
        Work work;
        {
            const std::lock_guard lock(mutex_);
            if (queue_.empty()) break;
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        work(*session_);
    }
    draining_ = false;
    if (closeAfterDrain_) close();
}

bool PortQueue::run(Work work, const std::function<bool()>& gaveUp, bool first) {
    struct Waiting {
        std::mutex mutex;
        std::condition_variable done;
        bool begun = false, finished = false, dropped = false;
    };
    const auto waiting = std::make_shared<Waiting>();
    post(
        [waiting, work = std::move(work)](cli::Session& session) {
            {
                const std::lock_guard lock(waiting->mutex);
                if (waiting->dropped) return;
                waiting->begun = true;
            }
            work(session);
            const std::lock_guard lock(waiting->mutex);
            waiting->finished = true;
            waiting->done.notify_all();
        },
        first);
    std::unique_lock lock(waiting->mutex);
    while (!waiting->done.wait_for(lock, std::chrono::milliseconds(50), [&] { return waiting->finished; })) {
        if (!waiting->begun && gaveUp()) {
            waiting->dropped = true;
            return false;
        }
    }
    return true;
}

}  // namespace zr::sila

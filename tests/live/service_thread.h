#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <functional>
#include <thread>

// A thread that serves a helper's sockets until the helper goes: it runs `serve` with a file
// descriptor to wait on beside them, which becomes readable when the thread is to end, and `serve`
// returns then. Its owner stops it before closing what `serve` uses.
class ServiceThread {
public:
    ServiceThread() = default;
    ~ServiceThread() {
        stop();
        for (const int fd : wake_)
            if (fd >= 0) ::close(fd);
    }
    ServiceThread(const ServiceThread&) = delete;
    ServiceThread& operator=(const ServiceThread&) = delete;

    // False when the thread cannot be had.
    bool start(std::function<void(int stop)> serve) {
        if (::pipe2(wake_, O_CLOEXEC) != 0) return false;
        thread_ = std::thread([serve = std::move(serve), stop = wake_[0]] { serve(stop); });
        return true;
    }

    // Tells the thread to end and waits until it has.
    void stop() {
        const char stop = 0;
        if (thread_.joinable() && ::write(wake_[1], &stop, 1) == 1) thread_.join();
    }

private:
    int wake_[2] = {-1, -1};
    std::thread thread_;
};

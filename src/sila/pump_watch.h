#pragma once

#include <grpcpp/support/status.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include "sila/port_queue.h"

namespace zr::sila {

// The observable properties of one pump: one poll, shared by every subscriber, that runs only
// while someone subscribes. Each cycle asks "?" (and "?8" while someone follows the valve)
// as whole exchanges through the port's queue, at most every 200 ms.
class PumpWatch {
public:
    enum class Value { Position, Valve, Status };

    PumpWatch(PortQueue& queue, int address);
    PumpWatch(const PumpWatch&) = delete;
    PumpWatch& operator=(const PumpWatch&) = delete;

    // Gives `write` the current value, then each change, until `write` returns false or
    // `gaveUp` turns true (OK), or a poll fails (its error).
    grpc::Status follow(Value value, const std::function<bool(const std::string&)>& write,
                        const std::function<bool()>& gaveUp);
    // Ends every follow at once (OK): the server is ending.
    void end();

private:
    struct Reading {
        grpc::Status status;
        std::string position, valve, pumpStatus;
        long number = 0;  // counts the cycles since the server started
    };

    void poll(cli::Session& session);  // one cycle, on the port's thread

    PortQueue& queue_;
    const int address_;
    std::mutex mutex_;
    std::condition_variable changed_;
    Reading reading_;
    int followers_ = 0, valveFollowers_ = 0;
    bool polling_ = false;
    bool restarted_ = false;
    bool ending_ = false;  // no reading yet since the poll began again
};

}  // namespace zr::sila

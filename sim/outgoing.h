#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace pumpsim {

// Replies waiting to go out, in order, each not before its due time and, when paced, one byte
// every byte interval: byte k of a reply is due k intervals after the reply, and a reply
// starts no sooner than one interval after the one before has ended. Times are seconds.
class Outgoing {
public:
    // Writes as many of the bytes as the line takes now; returns that count, or a negative
    // number when it takes none (the line is full).
    using Writer = std::function<long(const char* bytes, std::size_t count)>;

    // byteSeconds: the interval between a reply's bytes; 0 sends each reply at once.
    void Schedule(std::string bytes, double due, double byteSeconds);
    // Milliseconds until something is due (0 when it is now); -1 when nothing waits.
    int WaitMs(double now) const;
    // Writes everything due by now; returns the replies that went out completely.
    std::vector<std::string> WriteDue(double now, const Writer& write);

private:
    static constexpr double kRetrySeconds = 0.02;

    struct Item {
        std::string bytes;
        std::size_t sent = 0;
        double due = 0;  // when byte 0 is due
        double byteSeconds = 0;
        double NextDue() const { return due + static_cast<double>(sent) * byteSeconds; }
        // How many bytes are due by now, counting those already sent.
        std::size_t DueBy(double now) const;
    };
    std::deque<Item> queue_;
};

}  // namespace pumpsim

#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace pumpsim {

// Replies waiting to go out, in order, each not before its due time and, when dribbling,
// one byte every dribble interval. Times are seconds.
class Outgoing {
public:
    // Writes as many of the bytes as the line takes now; returns that count, or a negative
    // number when it takes none (the line is full).
    using Writer = std::function<long(const char* bytes, std::size_t count)>;

    explicit Outgoing(double dribbleSeconds) : dribble_(dribbleSeconds) {}

    void Schedule(std::string bytes, double due);
    bool Empty() const { return queue_.empty(); }
    // Milliseconds until something is due (0 when it is now); -1 when nothing waits.
    int WaitMs(double now) const;
    // Writes everything due by now; returns the replies that went out completely.
    std::vector<std::string> WriteDue(double now, const Writer& write);

private:
    static constexpr double kRetrySeconds = 0.02;

    struct Item {
        std::string bytes;
        std::size_t sent = 0;
        double due = 0;
    };
    double dribble_;
    std::deque<Item> queue_;
};

}  // namespace pumpsim

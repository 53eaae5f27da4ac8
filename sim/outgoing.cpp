#include "outgoing.h"

#include <algorithm>
#include <cmath>

namespace pumpsim {

void Outgoing::Schedule(std::string bytes, double due, double byteSeconds) {
    queue_.push_back(Item{std::move(bytes), 0, due, byteSeconds});
}

std::size_t Outgoing::Item::DueBy(double now) const {
    if (byteSeconds <= 0) return bytes.size();
    const double intervals = std::floor((now - due) / byteSeconds);
    return std::min(bytes.size(), static_cast<std::size_t>(std::max(0.0, intervals)) + 1);
}

int Outgoing::WaitMs(double now) const {
    if (queue_.empty()) return -1;
    return static_cast<int>(std::ceil(std::max(0.0, queue_.front().NextDue() - now) * 1000.0));
}

std::vector<std::string> Outgoing::WriteDue(double now, const Writer& write) {
    std::vector<std::string> done;
    while (!queue_.empty() && queue_.front().NextDue() <= now) {
        Item& item = queue_.front();
        const std::size_t due = std::max(item.DueBy(now), item.sent + 1);
        const long written = write(item.bytes.data() + item.sent, due - item.sent);
        if (written <= 0) {
            // The line is full: the rest follows a little later, at the same pace.
            item.due += now + kRetrySeconds - item.NextDue();
            break;
        }
        item.sent += static_cast<std::size_t>(written);
        if (item.sent < item.bytes.size()) continue;
        done.push_back(std::move(item.bytes));
        queue_.pop_front();
        if (!queue_.empty()) {
            Item& next = queue_.front();
            next.due = std::max(next.due, now + next.byteSeconds);
        }
    }
    return done;
}

}  // namespace pumpsim

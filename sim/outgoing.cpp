#include "outgoing.h"

#include <algorithm>
#include <cmath>

namespace pumpsim {

void Outgoing::Schedule(std::string bytes, double due) {
    queue_.push_back(Item{std::move(bytes), 0, due});
}

int Outgoing::WaitMs(double now) const {
    if (queue_.empty()) return -1;
    return static_cast<int>(std::ceil(std::max(0.0, queue_.front().due - now) * 1000.0));
}

std::vector<std::string> Outgoing::WriteDue(double now, const Writer& write) {
    std::vector<std::string> done;
    while (!queue_.empty() && queue_.front().due <= now) {
        Item& item = queue_.front();
        const std::size_t count = dribble_ > 0 ? 1 : item.bytes.size() - item.sent;
        const long written = write(item.bytes.data() + item.sent, count);
        if (written <= 0) {
            item.due = now + kRetrySeconds;
            break;
        }
        item.sent += static_cast<std::size_t>(written);
        if (item.sent < item.bytes.size()) {
            if (dribble_ > 0) item.due = now + dribble_;
            continue;
        }
        done.push_back(std::move(item.bytes));
        queue_.pop_front();
        if (!queue_.empty() && dribble_ > 0)
            queue_.front().due = std::max(queue_.front().due, now + dribble_);
    }
    return done;
}

}  // namespace pumpsim

#include "fakes/fake_serial.h"

#include <algorithm>
#include <limits>

namespace zr::test {

void FakeSerial::setPortOpen(bool open) {
    log.push_back(std::string("PortOpen=") + (open ? "1" : "0"));
    if (open && !failReason_.empty()) {
        openError_ = "Cannot open Com" + std::to_string(commPort) + ": " + failReason_;
        open_ = false;
        return;
    }
    if (open && !open_) ++openCount;
    if (!open && open_) ++closeCount;
    open_ = open;
}

void FakeSerial::output(const std::string& bytes) {
    log.push_back("Output");
    if (!open_) ++usedWhileClosed;
    frames.push_back(bytes);
    if (onOutput) onOutput(bytes);
}

int16_t FakeSerial::inBufferCount() {
    if (!open_) ++usedWhileClosed;
    deliverDue();
    return static_cast<int16_t>(std::min<std::size_t>(buffer_.size(), std::numeric_limits<int16_t>::max()));
}

std::string FakeSerial::input() {
    log.push_back("Input");
    if (!open_) ++usedWhileClosed;
    ++inputCount;
    deliverDue();
    std::string bytes;
    bytes.swap(buffer_);
    return bytes;
}

void FakeSerial::arrive(const std::string& bytes, double delay) {
    pending_.push_back({clock_.now() + delay, bytes});
}

void FakeSerial::dribble(const std::string& bytes, double delay, double gap) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
        arrive(bytes.substr(i, 1), delay + gap * static_cast<double>(i));
}

void FakeSerial::deliverDue() {
    std::stable_sort(pending_.begin(), pending_.end(),
                     [](const Arrival& a, const Arrival& b) { return a.at < b.at; });
    const double now = clock_.now();
    auto due = pending_.begin();
    for (; due != pending_.end() && due->at <= now + 1e-9; ++due) buffer_ += due->bytes;
    pending_.erase(pending_.begin(), due);
}

}  // namespace zr::test

#pragma once

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_clock.h"
#include "shared/serial_port.h"

namespace zr::test {

// A serial port whose received bytes arrive at chosen times on a (fake) clock. Every
// property set and operation is logged in order, e.g. "CommPort=1", "PortOpen=1", "Output".
class FakeSerial : public SerialPort {
public:
    explicit FakeSerial(FakeClock& clock) : clock_(clock) {}

    bool portOpen() const override { return open_ && !ledElsewhere; }
    bool lineLost() const override { return !open_; }
    void setPortOpen(bool open) override {
        log.push_back(std::string("PortOpen=") + (open ? "1" : "0"));
        if (open && !failReason_.empty()) {
            openError_ = "Cannot open Com" + std::to_string(commPort) + ": " + failReason_;
            open_ = false;
            return;
        }
        openCount += open && !open_;
        closeCount += !open && open_;
        open_ = open;
        if (open) openError_.clear();
    }
    std::string openError() const override { return openError_; }
    std::string deviceOf(int16_t number) const override {
        const auto found = devices.find(number);
        return found == devices.end() ? std::string() : found->second;
    }

    void setCommPort(int16_t number) override { note("CommPort", commPort = number); }
    void setSettings(const std::string& value) override { note("Settings", settings = value); }
    void setHandshaking(int mode) override { note("Handshaking", mode); }
    void setInputLen(int length) override { note("InputLen", length); }
    void setDTREnable(bool on) override { note("DTREnable", on); }
    void setInputMode(int mode) override { note("InputMode", mode); }
    void setRTSEnable(bool on) override { note("RTSEnable", on); }
    void setSThreshold(int threshold) override { note("SThreshold", threshold); }

    void output(const std::string& bytes) override {
        use("Output");
        frames.push_back(bytes);
        if (onOutput) onOutput(bytes);
    }
    int16_t inBufferCount() override {
        use(nullptr);
        return static_cast<int16_t>(
            std::min<std::size_t>(buffer_.size(), std::numeric_limits<int16_t>::max()));
    }
    // Moves the clock on to the first arrival due within `seconds` (or by `seconds`), as a
    // wait on the line that is no sleep of the module's.
    bool waitForInput(double seconds) override {
        use(nullptr);
        if (!buffer_.empty() || !open_) return !buffer_.empty();  // a closed line has nothing to wait for
        const double due = pending_.empty() ? clock_.now() + seconds : pending_.begin()->first;
        clock_.advance(std::min(due, clock_.now() + seconds) - clock_.now());
        use(nullptr);
        return !buffer_.empty();
    }
    std::string input() override {
        use("Input");
        ++inputCount;
        return std::exchange(buffer_, {});
    }

    // Bytes that reach the receive buffer `delay` seconds from now.
    void arrive(const std::string& bytes, double delay = 0) { pending_.emplace(clock_.now() + delay, bytes); }
    // Bytes that arrive one by one, `gap` seconds apart, starting `delay` seconds from now.
    void dribble(const std::string& bytes, double delay, double gap) {
        for (std::size_t i = 0; i < bytes.size(); ++i) arrive(bytes.substr(i, 1), delay + gap * double(i));
    }
    // Makes the next openings fail with this reason ("" lets them succeed again).
    void failOpening(const std::string& reason) { failReason_ = reason; }
    // The line goes away; openError() then tells `reason` ("" for a line that cannot tell).
    void lose(const std::string& reason) {
        open_ = false;
        openError_ = reason;
    }
    double replyDelay() const override { return delay; }

    std::vector<std::string> log;
    std::vector<std::string> frames;                         // every output, in order
    std::function<void(const std::string& frame)> onOutput;  // a scripted pump
    std::map<int16_t, std::string> devices;                  // what deviceOf tells for a port number
    bool ledElsewhere = false;  // the port number stands for another device now: open, but not to be reused
    int16_t commPort = 0;
    std::string settings;
    double delay = 0;  // what replyDelay tells
    int openCount = 0, closeCount = 0, inputCount = 0;
    int usedWhileClosed = 0;  // output, count or input on a closed port

private:
    void note(const char* property, const std::string& value) { log.push_back(property + ("=" + value)); }
    void note(const char* property, int value) { note(property, std::to_string(value)); }
    // Logs an operation, counts it when the port is closed, and moves the bytes that are due
    // into the receive buffer.
    void use(const char* operation) {
        if (operation) log.push_back(operation);
        usedWhileClosed += !open_;
        const auto due = pending_.upper_bound(clock_.now() + 1e-9);
        for (auto arrival = pending_.begin(); arrival != due; ++arrival) buffer_ += arrival->second;
        pending_.erase(pending_.begin(), due);
    }

    FakeClock& clock_;
    bool open_ = false;
    std::string openError_;
    std::string failReason_;
    std::multimap<double, std::string> pending_;  // by arrival time; equal times in order
    std::string buffer_;
};

}  // namespace zr::test

#pragma once

#include <functional>
#include <string>
#include <vector>

#include "shared/clock.h"
#include "shared/serial_port.h"

namespace zr::test {

// A serial port whose received bytes arrive at chosen times on a (fake) clock. Every
// property set and operation is logged in order, e.g. "CommPort=1", "PortOpen=1", "Output".
class FakeSerial : public SerialPort {
public:
    explicit FakeSerial(const Clock& clock) : clock_(clock) {}

    bool portOpen() const override { return open_; }
    void setPortOpen(bool open) override;
    std::string openError() const override { return openError_; }

    void setCommPort(int16_t number) override { note("CommPort", commPort = number); }
    void setSettings(const std::string& value) override {
        settings = value;
        log.push_back("Settings=" + value);
    }
    void setHandshaking(int mode) override { note("Handshaking", mode); }
    void setInputLen(int length) override { note("InputLen", length); }
    void setDTREnable(bool on) override { note("DTREnable", on); }
    void setInputMode(int mode) override { note("InputMode", mode); }
    void setRTSEnable(bool on) override { note("RTSEnable", on); }
    void setSThreshold(int threshold) override { note("SThreshold", threshold); }

    void output(const std::string& bytes) override;
    int16_t inBufferCount() override;
    std::string input() override;

    // Bytes that reach the receive buffer `delay` seconds from now.
    void arrive(const std::string& bytes, double delay = 0);
    // Bytes that arrive one by one, `gap` seconds apart, starting `delay` seconds from now.
    void dribble(const std::string& bytes, double delay, double gap);
    // Makes the next openings fail with this reason ("" lets them succeed again).
    void failOpening(const std::string& reason) { failReason_ = reason; }

    std::vector<std::string> log;
    std::vector<std::string> frames;                         // every output, in order
    std::function<void(const std::string& frame)> onOutput;  // a scripted pump
    int16_t commPort = 0;
    std::string settings;
    int openCount = 0;
    int closeCount = 0;
    int inputCount = 0;
    int usedWhileClosed = 0;  // output, count or input on a closed port

private:
    struct Arrival {
        double at;
        std::string bytes;
    };
    void deliverDue();
    void note(const char* property, int value) { log.push_back(property + ("=" + std::to_string(value))); }

    const Clock& clock_;
    bool open_ = false;
    std::string openError_;
    std::string failReason_;
    std::vector<Arrival> pending_;
    std::string buffer_;
};

}  // namespace zr::test

#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cli/scan_plan.h"
#include "link/reply_decoders.h"
#include "shared/clock.h"
#include "shared/serial_port.h"

namespace zr::cli {

// Puts a scan's queries to the pumps on one port, one frame at a time, with the waits of a
// scan: a probe that gets no answer ends as soon as an answer can no longer come (the line's
// own delay, a network's round trip, counted), and one that gets a whole reply ends as soon as
// it is whole. A reply is taken only as the answer of the probe that asked it: late bytes of an
// earlier probe are drained before the next one is sent, and a reply that is not in the
// probe's protocol or not addressed to the master is no answer.
class ScanProber {
public:
    // `margin`: how late, in seconds, a pump's first byte may come.
    ScanProber(SerialPort& port, Clock& clock, double margin) : port_(port), clock_(clock), margin_(margin) {}

    // Opens port `number` (1..4, or whatever the caller has made it stand for) at the baud
    // rate of the window's list, reopening it when the rate changes; false when it cannot be
    // opened, with the port's reason in openError().
    bool open(int16_t number, int baudIndex);
    void close();
    // The reply of the probe's pump to `command`, when a whole one came in time and holds
    // its checksum.
    std::optional<ReplyParts> ask(const Probe& probe, const std::string& command);
    // The waits also stretch to twice the lateness of each answer that comes in time.
    // A pump answered later than the waits allowed since the last call: bytes came after
    // their probe had ended, or the caller found an answer that a second question did not
    // confirm (`unconfirmed`). The waits are then stretched, twice as long each time, up to
    // the longest margin; false once they cannot grow any more.
    bool heardLate();
    void unconfirmed() { late_ = true; }

private:
    // Takes bytes waiting before a probe is sent, and those that follow them at the line's
    // pace: they came late.
    void drain();
    // Takes what is waiting and what follows until the line falls quiet.
    void takeUntilQuiet();

    SerialPort& port_;
    Clock& clock_;
    double margin_;
    int baud_ = 0;
    bool late_ = false;
};

}  // namespace zr::cli

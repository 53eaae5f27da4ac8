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
// scan: a probe that gets no answer ends as soon as an answer can no longer come, and one
// that gets a whole reply ends as soon as it is whole.
class ScanProber {
public:
    ScanProber(SerialPort& port, Clock& clock) : port_(port), clock_(clock) {}

    // Opens port `number` (1..4, or whatever the caller has made it stand for) at the baud
    // rate of the window's list, reopening it when the rate changes; false when it cannot be
    // opened, with the port's reason in openError().
    bool open(int16_t number, int baudIndex);
    void close();
    // The reply of the probe's pump to `command`, when a whole one came in time and holds
    // its checksum.
    std::optional<ReplyParts> ask(const Probe& probe, const std::string& command);

private:
    SerialPort& port_;
    Clock& clock_;
    int baud_ = 0;
};

}  // namespace zr::cli

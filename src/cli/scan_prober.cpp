#include "cli/scan_prober.h"

#include <algorithm>

#include "link/frames.h"
#include "link/serial_setup.h"
#include "shared/list_boxes.h"

namespace zr::cli {

bool ScanProber::open(int16_t number, int baudIndex) {
    const int baud = std::stoi(BaudItems[baudIndex].value);
    if (port_.portOpen() && baud == baud_) return true;
    port_.setPortOpen(false);
    SetupPort(port_);
    port_.setCommPort(number);
    port_.setSettings(std::string(BaudItems[baudIndex].value) + ",n,8,1");
    port_.setPortOpen(true);
    baud_ = baud;
    return port_.portOpen();
}

void ScanProber::close() {
    port_.setPortOpen(false);
}

std::optional<ReplyParts> ScanProber::ask(const Probe& probe, const std::string& command) {
    const bool oem = probe.protocolIndex == OemProtocolIndex;
    const std::string address = AddressItems[probe.addressIndex].value;
    const std::string frame = oem ? OEMFrame(address, command) : DTFrame(address, command);
    // What an earlier reply left after its time is no part of this one.
    if (port_.inBufferCount() > 0) port_.input();
    const ProbeWaits waits = WaitsFor(baud_, frame.size());
    const double sent = clock_.now();
    port_.output(frame);
    std::string received;
    for (;;) {
        if (port_.inBufferCount() > 0) received += port_.input();
        if (const std::size_t whole = WholeReplyLength(received, oem)) {
            const std::string reply = received.substr(0, whole);
            ReplyParts parts = oem ? OEMReplyParts(reply) : DTReplyParts(reply);
            if (!parts.checksumOk) return std::nullopt;
            return parts;
        }
        const double left = sent + (received.empty() ? waits.noAnswer : waits.wholeReply) - clock_.now();
        if (left <= 0 || !port_.portOpen()) return std::nullopt;
        // Whole milliseconds: a shorter wait would return at once and spin.
        port_.waitForInput(std::max(left, 0.001));
    }
}

}  // namespace zr::cli

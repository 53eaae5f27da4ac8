#include "cli/scan_prober.h"

#include <algorithm>

#include "cli/link_options.h"
#include "link/frames.h"
#include "link/serial_setup.h"
#include "shared/list_boxes.h"

namespace zr::cli {

namespace {

constexpr char kIdle = '\xFF';
// The longest a pump may be late once a scan has stretched its waits, and the least it
// stretches them to from a margin of nothing.
constexpr double kLongestMargin = LongestReplyMarginMs / 1000.0;
constexpr double kLeastStretchedMargin = DefaultReplyMarginMs / 2000.0;
// The line is quiet once no byte has come for three characters' time and this.
constexpr double kQuietSeconds = 0.005;
// A line that never falls quiet (noise, a device that talks by itself) is drained no longer.
constexpr double kLongestDrain = 1.0;

// The reply to a probe in `received`, when it is whole; "" while it may still become one;
// nullopt when the bytes are no reply to the probe: past the idle bytes in front, a reply
// starts with its protocol's head ("/", or 0xFF 0x02) and the address of the master ("0"),
// to which every pump answers.
std::optional<std::string> ReplyIn(const std::string& received, bool oem) {
    const std::size_t start = received.find_first_not_of(kIdle);
    if (start == std::string::npos) return std::string();
    if (oem && start == 0) return std::nullopt;
    const std::string head = oem ? "\x02"
                                   "0"
                                 : "/0";
    const std::string begun = received.substr(start, head.size());
    if (head.compare(0, begun.size(), begun) != 0) return std::nullopt;
    const std::string reply = received.substr(oem ? start - 1 : start);
    return reply.substr(0, WholeReplyLength(reply, oem));
}

}  // namespace

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

void ScanProber::takeUntilQuiet() {
    const double quiet = 3 * CharacterSeconds(baud_) + kQuietSeconds;
    const double until = clock_.now() + kLongestDrain;
    do port_.input();
    while (clock_.now() < until && port_.waitForInput(quiet));
}

void ScanProber::drain() {
    if (port_.inBufferCount() == 0) return;
    late_ = true;
    takeUntilQuiet();
}

bool ScanProber::heardLate() {
    if (!late_) return false;
    late_ = false;
    if (margin_ >= kLongestMargin) return false;
    margin_ = std::min(kLongestMargin, std::max(2 * margin_, kLeastStretchedMargin));
    return true;
}

std::optional<ReplyParts> ScanProber::ask(const Probe& probe, const std::string& command) {
    const bool oem = probe.protocolIndex == OemProtocolIndex;
    const std::string address = AddressItems[probe.addressIndex].value;
    const std::string frame = oem ? OEMFrame(address, command) : DTFrame(address, command);
    drain();
    const double delay = port_.replyDelay();
    const ProbeWaits waits = WaitsFor(baud_, frame.size(), margin_);
    const double sent = clock_.now();
    port_.output(frame);
    std::string received;
    double firstAt = -1;
    for (;;) {
        if (port_.inBufferCount() > 0) {
            if (firstAt < 0) firstAt = clock_.now();
            received += port_.input();
        }
        const std::optional<std::string> reply = ReplyIn(received, oem);
        if (!reply) {
            // Some other talk: the rest of it is no late answer for the next probe.
            takeUntilQuiet();
            return std::nullopt;
        }
        if (!reply->empty()) {
            ReplyParts parts = oem ? OEMReplyParts(*reply) : DTReplyParts(*reply);
            if (!parts.checksumOk) return std::nullopt;
            // A pump that answers near the margin's end is given twice its lateness from now
            // on, so that its next answer, a little later still, is not lost.
            const double late =
                firstAt - sent - delay - static_cast<double>(frame.size() + 1) * CharacterSeconds(baud_);
            margin_ = std::max(margin_, std::min(kLongestMargin, 2 * late));
            return parts;
        }
        const double end = firstAt < 0 ? sent + waits.firstByte + delay : firstAt + waits.wholeReply + delay;
        const double left = end - clock_.now();
        if (left <= 0 || !port_.portOpen()) return std::nullopt;
        // Whole milliseconds: a shorter wait would return at once and spin.
        port_.waitForInput(std::max(left, 0.001));
    }
}

}  // namespace zr::cli

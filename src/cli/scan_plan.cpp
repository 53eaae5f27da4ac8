#include "cli/scan_plan.h"

#include <algorithm>

#include "link/reply_decoders.h"
#include "shared/list_boxes.h"

namespace zr::cli {

namespace {

// The longest reply expected holds a firmware text.
constexpr std::size_t kLongestReply = ShortestReply + 64;

// What the computer takes to pass a byte from the line to the program. Less than a busy one
// may take, which keeps a scan short: an answer that comes later still is drained before the
// next probe, which stretches the waits and asks again.
constexpr double kDeliverySeconds = 0.005;

// Where a setting stands in the order: the window's defaults first, then the lists' order.
int Rank(int index, int first) {
    return index == first ? -1 : index;
}

}  // namespace

ScanPlan::ScanPlan(std::vector<int> baudIndices, std::vector<int> protocolIndices) {
    const auto order = [](std::vector<int>& indices, int first) {
        std::sort(indices.begin(), indices.end(),
                  [first](int a, int b) { return Rank(a, first) < Rank(b, first); });
        indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    };
    order(baudIndices, DefaultBaudIndex);
    order(protocolIndices, DtProtocolIndex);
    for (int baud : baudIndices)
        for (int protocol : protocolIndices) settings_.push_back(Setting{baud, protocol});
}

std::optional<Probe> ScanPlan::take(Setting& s, int addressIndex) {
    s.probed[addressIndex] = true;
    return Probe{s.baudIndex, s.protocolIndex, addressIndex};
}

std::optional<Probe> ScanPlan::rest(Setting& s) {
    for (int a = 0; a < kPumps; ++a)
        if (!s.probed[a]) return take(s, a);
    return std::nullopt;
}

std::optional<Probe> ScanPlan::next() {
    for (Setting& s : settings_)
        if (s.answered)
            if (auto probe = rest(s)) return probe;
    for (Setting& s : settings_)
        if (!s.probed[0]) return take(s, 0);
    for (Setting& s : settings_)
        if (auto probe = rest(s)) return probe;
    return std::nullopt;
}

void ScanPlan::answered(const Probe& probe) {
    for (Setting& s : settings_)
        if (s.baudIndex == probe.baudIndex && s.protocolIndex == probe.protocolIndex) s.answered = true;
}

double CharacterSeconds(int baud) {
    return 10.0 / baud;
}

ProbeWaits WaitsFor(int baud, std::size_t requestLength, double margin) {
    const double character = CharacterSeconds(baud);
    return {static_cast<double>(requestLength + 1) * character + margin + kDeliverySeconds,
            static_cast<double>(kLongestReply - 1) * character + margin + kDeliverySeconds};
}

}  // namespace zr::cli

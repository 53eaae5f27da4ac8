#include "cli/scan_one_port.h"

#include <deque>
#include <vector>

#include "cli/scan_prober.h"
#include "platform/qt/steady_clock.h"

namespace zr::cli {

namespace {

// An answer that came late may be the answer of any probe asked this long before it.
constexpr double kLateSpan = 2.0;

// A probe without answer, and when it was asked.
struct Asked {
    Probe probe;
    double at;
};

}  // namespace

bool ScanOnePort(QtSerialPort& port, const ScanPort& scanPort, ScanPlan plan, double margin,
                 const std::function<bool()>& stop, const ScanEvents& events, std::string& error) {
    SteadyClock clock;
    ScanProber prober(port, clock, margin);
    port.setDevice(scanPort.device.empty() ? int16_t{0} : scanPort.number, scanPort.device);
    port.choosePort(scanPort.number);
    std::deque<Probe> again;
    std::vector<Asked> unanswered;
    while (!stop()) {
        const std::optional<Probe> probe = again.empty() ? plan.next() : std::optional<Probe>(again.front());
        if (!probe) break;
        if (!again.empty()) again.pop_front();
        events.probing(*probe);
        if (!prober.open(scanPort.number, probe->baudIndex)) {
            error = OpenError(scanPort, port);
            prober.close();
            return false;
        }
        const double askedAt = clock.now();
        std::optional<ReplyParts> position = prober.ask(*probe, "?");
        std::optional<ReplyParts> firmware;
        if (position) {
            firmware = prober.ask(*probe, "&");
            // A pump answers again; a late answer of an earlier probe comes once.
            if (!firmware && !prober.ask(*probe, "?")) {
                prober.unconfirmed();
                position.reset();
            }
        }
        if (!position) unanswered.push_back({*probe, askedAt});
        if (prober.heardLate()) {
            for (const Asked& asked : unanswered)
                if (asked.at > clock.now() - kLateSpan) again.push_back(asked.probe);
            unanswered.clear();
        }
        if (!position) continue;
        plan.answered(*probe);
        events.found({scanPort.name, ResolvedName(scanPort, port), *probe, *position, firmware});
    }
    prober.close();
    return true;
}

}  // namespace zr::cli

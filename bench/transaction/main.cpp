// Times whole transactions against pumpsim through the real serial adapter: Send to decoded
// reply, and the processor time this process spent meanwhile.
//   bench_transaction [count]      (default 60 per framing; ZR_PUMPSIM overrides the pumpsim)
// Prints the rows of the benchmark table: area, case, median, unit.

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "link/transaction.h"
#include "live/bench_figures.h"
#include "live_link.h"

namespace {

struct Result {
    std::vector<double> milliseconds;
    std::vector<double> openCloseMilliseconds;
    double cpuSeconds = 0;
    double wallSeconds = 0;
    int failures = 0;
};

bool Run(const std::string& protocol, int count, Result& result) {
    LiveLink link;
    if (!link.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(link.sim.error()));
        return false;
    }
    link.choose(protocol, "1");
    link.m.CmdString.assign(1, '?');
    zr::XmitCommand(link.m);  // the first opening of the device is not part of the measure

    using Clock = std::chrono::steady_clock;
    const double cpuBefore = CpuSeconds();
    const auto wallBefore = Clock::now();
    for (int i = 0; i < count; ++i) {
        const auto sent = Clock::now();
        zr::XmitCommand(link.m);
        const auto decoded = Clock::now();
        result.milliseconds.push_back(std::chrono::duration<double, std::milli>(decoded - sent).count());
        if (link.m.ErrNum != 0 || link.m.ReplyData.empty()) ++result.failures;
    }
    result.wallSeconds = std::chrono::duration<double>(Clock::now() - wallBefore).count();
    result.cpuSeconds = CpuSeconds() - cpuBefore;

    // The share of the device's opening and closing alone (lock file included).
    for (int i = 0; i < count; ++i) {
        const auto before = Clock::now();
        link.port.setPortOpen(true);
        link.port.setPortOpen(false);
        result.openCloseMilliseconds.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - before).count());
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (!qEnvironmentVariableIsSet("ZR_PUMPSIM")) qputenv("ZR_PUMPSIM", ZR_DEFAULT_PUMPSIM);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;

    bool met = true;
    for (const std::string protocol : {"DT", "OEM"}) {
        Result r;
        if (!Run(protocol, count, r)) return 2;
        const char* name = protocol.c_str();
        const double median = Median(r.milliseconds);
        std::printf("transaction\t%s Send to decoded reply (%d Sends, %d failed)\t%.1f\tms\n", name, count,
                    r.failures, median);
        std::printf("transaction\t%s device open + close alone\t%.1f\tms\n", name,
                    Median(r.openCloseMilliseconds));
        std::printf("transaction\t%s processor time per transaction (%.2f %% of wall)\t%.2f\tms\n", name,
                    100.0 * r.cpuSeconds / r.wallSeconds, 1000.0 * r.cpuSeconds / count);
        met = met && r.failures == 0 && median - 200.0 <= 10.0;
    }
    std::printf("transaction\tbudget: median at most 10 ms over the 200 ms wait\t%s\t\n",
                met ? "met" : "NOT met");
    return 0;
}

// Times "zadu-rovu-cli scan" on one port against pumpsim, whose bytes take their time on the
// wire: until a pump at the window's defaults (9600, DT, pump 1) is printed, and the whole
// scan of a port where nothing answers (every baud rate, both protocols, pumps 1 to F).
//   bench_scan [runs]      (default 3 runs each; ZR_PUMPSIM and ZR_CLI override the programs)
// Prints the rows of the benchmark table: area, case, median, unit.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "live/bench_figures.h"
#include "live/pumpsim_process.h"

namespace {

// Seconds from starting the scan to its first line on stdout (stopping it there), or to its
// end; a negative number when it fails.
double TimeScan(const QString& cli, const QString& port, bool untilFound) {
    QProcess scan;
    QElapsedTimer clock;
    clock.start();
    scan.start(cli, {"scan", "--json", "--port", port});
    if (!scan.waitForStarted()) return -1;
    if (untilFound) {
        while (!scan.canReadLine())
            if (!scan.waitForReadyRead(30000)) return -1;
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        scan.kill();
        scan.waitForFinished();
        return seconds;
    }
    if (!scan.waitForFinished(120000) || scan.exitCode() != 3) return -1;
    return double(clock.nsecsElapsed()) / 1e9;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    if (!qEnvironmentVariableIsSet("ZR_PUMPSIM")) qputenv("ZR_PUMPSIM", ZR_DEFAULT_PUMPSIM);
    const QString cli = ProgramFrom("ZR_CLI", ZR_DEFAULT_CLI);

    struct Case {
        const char* name;
        QStringList pumps;
        bool untilFound;
    };
    const Case cases[] = {
        {"a pump at the defaults: until it is printed", {"--baud", "9600", "--protocol", "DT"}, true},
        {"a port where nothing answers: the whole scan", {"--silent"}, false},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        PumpSimProcess sim;
        if (!sim.start(folder.path(), QStringList{"--wire-time"} + c.pumps)) {
            std::fprintf(stderr, "%s\n", qPrintable(sim.error()));
            return 1;
        }
        std::vector<double> seconds;
        for (int run = 0; run < runs; ++run) {
            seconds.push_back(TimeScan(cli, folder.filePath("COM1"), c.untilFound));
            if (seconds.back() < 0) {
                std::fprintf(stderr, "scan failed: %s\n", c.name);
                return 1;
            }
        }
        std::printf("scan\t%s (%d runs)\t%.2f\ts\n", c.name, runs, Median(seconds));
    }
    return 0;
}

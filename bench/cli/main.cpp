// Times zadu-rovu-cli sending 100 "?" in one call against pumpsim: per command, the exchange
// (frame written to reply read, from its JSON lines) and the whole call's share, and the
// processor time the call used (its rusage, taken when it has been waited for).
//   bench_cli [calls]      (default 5 calls; ZR_PUMPSIM and ZR_CLI override the programs)
// Prints the rows of the benchmark table: area, case, median, unit.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "live/bench_figures.h"
#include "live/pumpsim_process.h"

namespace {

constexpr int kCommands = 100;

double ChildrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int calls = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    if (!qEnvironmentVariableIsSet("ZR_PUMPSIM")) qputenv("ZR_PUMPSIM", ZR_DEFAULT_PUMPSIM);
    const QString cli = ProgramFrom("ZR_CLI", ZR_DEFAULT_CLI);

    QTemporaryDir folder;
    PumpSimProcess sim;  // still running while the calls are measured: its time is not counted
    if (!sim.start(folder.path(), {})) {
        std::fprintf(stderr, "%s\n", qPrintable(sim.error()));
        return 1;
    }
    QStringList arguments{"send", "--json", "--port", folder.filePath("COM1")};
    for (int i = 0; i < kCommands; ++i) arguments << "?";

    std::vector<double> exchangeMs, callMsPerCommand, cpuMsPerCommand;
    for (int call = 0; call < calls; ++call) {
        QProcess process;
        const double cpuBefore = ChildrenCpuSeconds();
        QElapsedTimer clock;
        clock.start();
        process.start(cli, arguments);
        if (!process.waitForFinished(120000) || process.exitCode() != 0) {
            std::fprintf(stderr, "call %d failed: %s\n", call, process.readAllStandardError().constData());
            return 1;
        }
        callMsPerCommand.push_back(double(clock.nsecsElapsed()) / 1e6 / kCommands);
        cpuMsPerCommand.push_back((ChildrenCpuSeconds() - cpuBefore) * 1000 / kCommands);
        for (const QByteArray& line : process.readAllStandardOutput().trimmed().split('\n'))
            exchangeMs.push_back(QJsonDocument::fromJson(line).object()["ms"].toDouble());
    }
    std::printf("cli\tsend \"?\" x%d in one call: exchange, write to reply read (%zu)\t%.1f\tms\n", kCommands,
                exchangeMs.size(), Median(exchangeMs));
    std::printf("cli\tsend \"?\" x%d in one call: whole call per command (%d calls)\t%.1f\tms\n", kCommands,
                calls, Median(callMsPerCommand));
    std::printf("cli\tsend \"?\" x%d in one call: processor time per command (%d calls)\t%.3f\tms\n",
                kCommands, calls, Median(cpuMsPerCommand));
    return 0;
}

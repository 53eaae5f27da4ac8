// Times zadu-rovu-cli sending 100 "?" in one call against pumpsim at 9600 baud, twice: with
// pumpsim answering at once (its own answer time: frame written to first reply byte), and
// with pumpsim giving every byte its time on the wire (--wire-time: 4 request and 8 reply
// bytes of 10 bits, 12.5 ms). For each: per command the exchange (frame written to reply
// read, from the JSON lines), and for the wire-time calls the whole call and the processor
// time it used (its rusage, taken when it has been waited for). The goal: an exchange within
// 1.5x the wire time plus pumpsim's answer time, 100 sends in under 3 s.
//   bench_cli [calls]      (default 5 calls each; ZR_PUMPSIM and ZR_CLI override the programs)
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
constexpr double kWireMs = (4 + 8) * 10 * 1000.0 / 9600;

struct Timings {
    std::vector<double> exchangeMs, firstByteMs, callSeconds, cpuMsPerCommand;
};

// `calls` calls of 100 sends each against a pumpsim run with `options`; false when one failed.
bool Measure(const QString& cli, const QStringList& options, int calls, Timings& t) {
    QTemporaryDir folder;
    PumpSimProcess sim;  // still running while the calls are measured: its time is not counted
    if (!sim.start(folder.path(), options)) {
        std::fprintf(stderr, "%s\n", qPrintable(sim.error()));
        return false;
    }
    QStringList arguments{"send", "--json", "--baud", "9600", "--port", folder.filePath("COM1")};
    for (int i = 0; i < kCommands; ++i) arguments << "?";
    for (int call = 0; call < calls; ++call) {
        QProcess process;
        const double cpuBefore = CpuSeconds(RUSAGE_CHILDREN);
        QElapsedTimer clock;
        clock.start();
        process.start(cli, arguments);
        if (!process.waitForFinished(120000) || process.exitCode() != 0) {
            std::fprintf(stderr, "call %d failed: %s\n", call, process.readAllStandardError().constData());
            return false;
        }
        t.callSeconds.push_back(double(clock.nsecsElapsed()) / 1e9);
        t.cpuMsPerCommand.push_back((CpuSeconds(RUSAGE_CHILDREN) - cpuBefore) * 1000 / kCommands);
        for (const QByteArray& line : process.readAllStandardOutput().trimmed().split('\n')) {
            const QJsonObject answer = QJsonDocument::fromJson(line).object();
            t.exchangeMs.push_back(answer["ms"].toDouble());
            t.firstByteMs.push_back(answer["firstByteMs"].toDouble());
        }
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int calls = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    if (!qEnvironmentVariableIsSet("ZR_PUMPSIM")) qputenv("ZR_PUMPSIM", ZR_DEFAULT_PUMPSIM);
    const QString cli = ProgramFrom("ZR_CLI", ZR_DEFAULT_CLI);

    Timings atOnce, onTheWire;
    if (!Measure(cli, {}, calls, atOnce) || !Measure(cli, {"--wire-time"}, calls, onTheWire)) return 1;
    const double answerMs = Median(atOnce.firstByteMs);
    const double exchangeMs = Median(onTheWire.exchangeMs);
    const auto row = [](const char* what, double median, const char* unit) {
        std::printf("cli\tsend \"?\" x%d, 9600 baud: %s\t%.3f\t%s\n", kCommands, what, median, unit);
    };
    row("pumpsim's answer time, frame written to first byte", answerMs, "ms");
    row("exchange, pumpsim answering at once", Median(atOnce.exchangeMs), "ms");
    row("bytes' time on the wire (4 + 8 bytes)", kWireMs, "ms");
    row("exchange, bytes on the wire (--wire-time)", exchangeMs, "ms");
    row("exchange / (wire + answer time) (goal <= 1.5)", exchangeMs / (kWireMs + answerMs), "x");
    row("whole call of 100 sends, bytes on the wire (goal < 3)", Median(onTheWire.callSeconds), "s");
    row("processor time per command", Median(onTheWire.cpuMsPerCommand), "ms");
    return 0;
}

// Times transactions to pumpsim through ser2net on loopback beside the same on the local device,
// the connection alone (plain and TLS), a reply that comes 150 ms late as from a far network, and
// the processor time over 10 s with a network port left open.
//   bench_network [count]      (default 40 transactions a case; ZR_PUMPSIM overrides the pumpsim)
// Prints the rows of the benchmark table: area, case, median, unit.

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "../transaction/live_link.h"
#include "link/transaction.h"
#include "live/bench_figures.h"
#include "live/delay_relay.h"
#include "live/ser2net_process.h"
#include "live/test_certificates.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// A module on COM1 of its own folder: pumpsim's device itself, or a file naming the same pump
// shared by ser2net.
struct Pump {
    bool start() {
        if (!link.sim.start(simFolder.path(), {})) return fail(link.sim.error());
        const QString device = simFolder.filePath("COM1");
        if (!server.start(
                {"telnet(rfc2217),tcp(nodelay)", "tcp(nodelay)",
                 "telnet(rfc2217)," + certificates.accepter(certificates.server()) + ",tcp(nodelay)"},
                {device, device, device}))
            return fail(server.error());
        return certificates.make() || fail(certificates.error());
    }
    bool fail(const QString& why) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        return false;
    }
    // COM1 becomes the device, or a file naming a network port, chosen again as in Setup.
    void reach(const QString& name) {
        link.port.choosePort(1);
        QFile::remove(link.folder.filePath("COM1"));
        if (name.isEmpty()) {
            QFile::link(simFolder.filePath("COM1"), link.folder.filePath("COM1"));
            return;
        }
        QFile file(link.folder.filePath("COM1"));
        if (file.open(QIODevice::WriteOnly)) file.write(name.toUtf8() + "\n");
    }
    QString rfc2217() const { return "rfc2217://127.0.0.1:" + QString::number(server.port(0)); }

    QTemporaryDir simFolder;
    LiveLink link;
    Ser2netProcess server;
    TestCertificates certificates;
};

struct Timing {
    double median = 0;
    double cpuPerTransaction = 0;
    int failures = 0;
};

// `count` Sends of "?", each `gap` apart from the end of the one before.
Timing Transactions(Pump& pump, int count, std::chrono::milliseconds gap) {
    LiveLink& link = pump.link;
    link.choose("DT", "1");
    link.m.CmdString.assign(1, '?');
    zr::XmitCommand(link.m);  // the first connection is not part of the measure
    std::vector<double> times;
    double cpu = 0;
    Timing timing;
    for (int i = 0; i < count; ++i) {
        std::this_thread::sleep_for(gap);
        const double cpuBefore = CpuSeconds();
        const auto sent = Clock::now();
        zr::XmitCommand(link.m);
        times.push_back(Milliseconds(sent));
        cpu += CpuSeconds() - cpuBefore;
        if (link.m.ErrNum != 0 || link.m.ReplyData.empty()) ++timing.failures;
    }
    timing.median = Median(times);
    timing.cpuPerTransaction = 1000.0 * cpu / count;
    return timing;
}

double ConnectMilliseconds(Pump& pump, int count) {
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // ser2net done with the one before
        const auto before = Clock::now();
        pump.link.port.setPortOpen(true);
        times.push_back(Milliseconds(before));
        if (!pump.link.port.portOpen()) std::fprintf(stderr, "%s\n", pump.link.port.openError().c_str());
        pump.link.port.setPortOpen(false);
    }
    return Median(times);
}

// A group command leaves the port open; then ten seconds of event loop, as the window idles.
double IdleCpuMilliseconds(Pump& pump) {
    pump.link.choose("DT", "_");
    zr::XmitCommand(pump.link.m);
    const double before = CpuSeconds();
    QEventLoop idle;
    QTimer::singleShot(10000, &idle, &QEventLoop::quit);
    idle.exec();
    const double cpu = 1000.0 * (CpuSeconds() - before);
    pump.link.port.setPortOpen(false);
    return cpu;
}

void Row(const char* what, double value, const char* unit) {
    std::printf("network\t%s\t%.2f\t%s\n", what, value, unit);
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (!qEnvironmentVariableIsSet("ZR_PUMPSIM")) qputenv("ZR_PUMPSIM", ZR_DEFAULT_PUMPSIM);
    const int count = argc > 1 ? std::max(3, std::atoi(argv[1])) : 40;
    Pump pump;
    if (!pump.start()) return 2;

    // Back to back (as the position display's queries go), and 50 ms apart (as Sends do).
    for (const auto gap : {std::chrono::milliseconds(0), std::chrono::milliseconds(50)}) {
        pump.reach({});
        const Timing local = Transactions(pump, count, gap);
        pump.reach(pump.rfc2217());
        const Timing network = Transactions(pump, count, gap);
        const std::string when = gap.count() == 0 ? "back to back" : "50 ms apart";
        const std::string counted = " (" + std::to_string(count) + " Sends, " +
                                    std::to_string(local.failures + network.failures) + " failed)";
        Row(("DT Send to decoded reply, local device, " + when + counted).c_str(), local.median, "ms");
        Row(("DT Send to decoded reply, rfc2217 via ser2net, " + when).c_str(), network.median, "ms");
        Row(("ratio network / local, " + when).c_str(), network.median / local.median, "x");
        Row(("processor time per transaction, local device, " + when).c_str(), local.cpuPerTransaction, "ms");
        Row(("processor time per transaction, rfc2217 via ser2net, " + when).c_str(),
            network.cpuPerTransaction, "ms");
    }

    const QString port = QString::number(pump.server.port(1)), tls = QString::number(pump.server.port(2));
    for (const auto& [what, name] :
         {std::pair{"connect alone, rfc2217 (connection, telnet, line settings)", pump.rfc2217()},
          std::pair{"connect alone, socket", "socket://127.0.0.1:" + port},
          std::pair{"connect alone, rfc2217+tls",
                    "rfc2217+tls://127.0.0.1:" + tls + "?ca=" + pump.certificates.ca()}}) {
        pump.reach(name);
        Row(what, ConnectMilliseconds(pump, count), "ms");
    }

    // A far network: every answer 150 ms late, 75 ms each way.
    DelayRelay far(pump.server.port(0), 75);
    pump.reach("rfc2217://127.0.0.1:" + QString::number(far.port()));
    const Timing slow = Transactions(pump, std::max(3, count / 8), std::chrono::milliseconds(50));
    Row(("DT Send to decoded reply, answers 150 ms late (" + std::to_string(slow.failures) + " failed)")
            .c_str(),
        slow.median, "ms");
    Row("first reply byte after the frame, answers 150 ms late",
        1000.0 * (pump.link.m.LastExchange.firstByteAt - pump.link.m.LastExchange.sentAt), "ms");

    pump.reach(pump.rfc2217());
    Row("processor time in 10 s with a network port left open", IdleCpuMilliseconds(pump), "ms");
    return 0;
}

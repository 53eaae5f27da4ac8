// Times zadu-rovu-cli serve against pumpsim at 9600 baud with every byte's time on the wire
// (--wire-time), through a gRPC client over TLS on loopback:
// - "?" through SendCommandString, call to answer, against the same exchange made by
//   zadu-rovu-cli send (frame written to reply read, from its JSON lines). Goal: within
//   1.1x + 2 ms.
// - a PlungerPosition change to a subscriber: from the move's SendCommandString answered to the
//   first changed position received. Goal: within one poll period (200 ms) plus the exchange.
// - the processor time of a server with no client over 10 s (goal: nothing measurable);
// - one server for 16 pumps found on 2 pseudo-terminals, 100 clients subscribed to
//   PlungerPosition: its resident memory (goal < 50 MB), its processor time (goal < 5 % of a
//   core), and the time from a move's answer to the last of the pump's subscribers holding a
//   new position (goal: one poll period, 200 ms, plus the exchanges queued ahead on the line).
//   bench_sila [calls]     (default 100 calls; ZR_PUMPSIM and ZR_CLI override the programs)
// Prints the rows of the benchmark table: area, case, median, unit.
#include <grpcpp/grpcpp.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "SyringePumpController.grpc.pb.h"
#include "live/bench_figures.h"
#include "live/pumpsim_process.h"
#include "live/serve_process.h"
#include "live/test_certificates.h"

namespace {

namespace pump = sila2::org::zadurovu::pumps::syringepumpcontroller::v1;

// The processor time so far (user and system) of the process `pid`, from /proc.
double CpuSecondsOf(qint64 pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
    return (fields[11].toDouble() + fields[12].toDouble()) / double(sysconf(_SC_CLK_TCK));
}

double ResidentMiBOf(qint64 pid) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ')[0].toDouble() / 1024;
    return 0;
}

// A client of the pump served on `port`; `ownConnection`: one not shared with other clients.
std::unique_ptr<pump::SyringePumpController::Stub> Connect(int port, const QString& ca,
                                                           bool ownConnection = false) {
    QFile file(ca);
    file.open(QIODevice::ReadOnly);
    grpc::SslCredentialsOptions ssl;
    ssl.pem_root_certs = file.readAll().toStdString();
    grpc::ChannelArguments arguments;
    if (ownConnection) arguments.SetInt(GRPC_ARG_USE_LOCAL_SUBCHANNEL_POOL, 1);
    return pump::SyringePumpController::NewStub(
        grpc::CreateCustomChannel("127.0.0.1:" + std::to_string(port), grpc::SslCredentials(ssl), arguments));
}

bool Send(pump::SyringePumpController::Stub& stub, const std::string& command) {
    grpc::ClientContext context;
    pump::SendCommandString_Parameters in;
    in.mutable_commandstring()->set_value(command);
    pump::SendCommandString_Responses out;
    const grpc::Status status = stub.SendCommandString(&context, in, &out);
    if (!status.ok()) std::fprintf(stderr, "%s: %s\n", command.c_str(), status.error_message().c_str());
    return status.ok();
}

// The exchange of "?" as zadu-rovu-cli send makes it, in ms.
std::vector<double> CliExchanges(const QString& cli, const QString& device, int count) {
    QStringList arguments{"send", "--json", "--port", device};
    for (int i = 0; i < count; ++i) arguments << "?";
    QProcess process;
    process.start(cli, arguments);
    process.waitForFinished(120000);
    std::vector<double> ms;
    for (const QByteArray& line : process.readAllStandardOutput().trimmed().split('\n'))
        ms.push_back(QJsonDocument::fromJson(line).object()["ms"].toDouble());
    return ms;
}

// The time since an epoch shared by the threads, in ms.
double NowMs() {
    return double(std::chrono::duration_cast<std::chrono::microseconds>(
                      std::chrono::steady_clock::now().time_since_epoch())
                      .count()) /
           1000;
}

// Lets the event loop run for `ms`: pumpsim's transcript is read meanwhile, and a pumpsim
// whose output nobody reads stops at a full pipe.
void Pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// One client of its own (a connection of its own) subscribed to a pump's PlungerPosition,
// keeping the time each new value came.
class Subscriber {
public:
    Subscriber(int port, const QString& ca) : stub_(Connect(port, ca, true)) {
        thread_ = std::thread([this] {
            auto reader = stub_->Subscribe_PlungerPosition(&context_, {});
            pump::Subscribe_PlungerPosition_Responses value;
            while (reader->Read(&value)) {
                const std::lock_guard lock(mutex_);
                if (value.plungerposition().value() != last_) changedAt_ = NowMs();
                last_ = value.plungerposition().value();
                ++values_;
            }
            reader->Finish();
        });
    }
    ~Subscriber() {
        context_.TryCancel();
        thread_.join();
    }
    int values() {
        const std::lock_guard lock(mutex_);
        return values_;
    }
    // When the value last changed, in NowMs's time.
    double changedAt() {
        const std::lock_guard lock(mutex_);
        return changedAt_;
    }

private:
    std::unique_ptr<pump::SyringePumpController::Stub> stub_;
    grpc::ClientContext context_;
    std::thread thread_;
    std::mutex mutex_;
    int64_t last_ = INT64_MIN;
    double changedAt_ = 0;
    int values_ = 0;
};

// One server for 16 pumps found on 2 pseudo-terminals (8 pumps each, every byte its time on
// the wire at 9600 baud), 100 clients subscribed to PlungerPosition spread over the pumps.
int Scale(const QString& cli, const TestCertificates& certificates, const QStringList& tls,
          const std::function<void(const QString&, double, const char*)>& row) {
    constexpr int kPumps = 16, kSubscribers = 100, kMoves = 8;
    QTemporaryDir first, second;
    PumpSimProcess lineA, lineB;
    const QStringList eight{"--wire-time", "--address", "1,2,3,4,5,6,7,8"};
    if (!lineA.start(first.path(), eight) || !lineB.start(second.path(), eight)) return 1;
    Server server;
    server.program = cli;
    const QStringList bus{"--port",     first.filePath("COM1"),
                          "--port",     second.filePath("COM1"),
                          "--baud",     "9600",
                          "--protocol", "DT",
                          "--data",     first.path()};
    if (!server.start(bus + tls, kPumps) || !server.waitForPumps(kPumps, 30000)) return 1;
    // Each pump initialised, so that it can move.
    for (int port : server.ports)
        if (!Send(*Connect(port, certificates.ca()), "W4R")) return 1;
    Pause(2000);
    std::vector<std::unique_ptr<Subscriber>> subscribers;
    for (int i = 0; i < kSubscribers; ++i)
        subscribers.push_back(std::make_unique<Subscriber>(server.ports[i % kPumps], certificates.ca()));
    for (const auto& s : subscribers)
        while (s->values() == 0) Pause(10);
    Pause(2000);
    row(QString("resident memory serving %1 pumps on 2 lines, %2 subscribers").arg(kPumps).arg(kSubscribers),
        ResidentMiBOf(server.process.processId()), "MiB");
    const double before = CpuSecondsOf(server.process.processId());
    QElapsedTimer clock;
    clock.start();
    Pause(10000);
    row(QString("processor time serving %1 subscribers, pumps at rest (goal < 5 %)").arg(kSubscribers),
        (CpuSecondsOf(server.process.processId()) - before) / (double(clock.elapsed()) / 1000) * 100, "%");
    // A move of one pump after another, on both lines: from the move's answer to the last of the
    // pump's subscribers holding a new position.
    std::vector<double> lastMs;
    for (int move = 0; move < kMoves; ++move) {
        const int pumpIndex = (move * 5) % kPumps;
        const auto stub = Connect(server.ports[pumpIndex], certificates.ca());
        if (!Send(*stub, "V1000A600R")) return 1;
        const double sent = NowMs();
        double last = 0;
        for (int i = pumpIndex; i < kSubscribers; i += kPumps) {
            while (subscribers[i]->changedAt() < sent && NowMs() < sent + 5000) Pause(1);
            last = std::max(last, subscribers[i]->changedAt() - sent);
        }
        lastMs.push_back(last);
        Pause(2000);  // the move ends
        if (!Send(*stub, "A0R")) return 1;
        Pause(2000);
    }
    row("PlungerPosition change to the last of a pump's subscribers, 8 pumps polled on its line (goal <= "
        "200 ms + 8 exchanges)",
        Median(lastMs), "ms");
    subscribers.clear();
    return server.end() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int calls = argc > 1 ? std::max(5, std::atoi(argv[1])) : 100;
    if (!qEnvironmentVariableIsSet("ZR_PUMPSIM")) qputenv("ZR_PUMPSIM", ZR_DEFAULT_PUMPSIM);
    const QString cli = ProgramFrom("ZR_CLI", ZR_DEFAULT_CLI);
    TestCertificates certificates;
    if (!certificates.make()) {
        std::fprintf(stderr, "%s\n", qPrintable(certificates.error()));
        return 1;
    }
    const auto row = [](const QString& what, double median, const char* unit) {
        std::printf("sila\t%s\t%.3f\t%s\n", qPrintable(what), median, unit);
    };
    const QStringList tls{"--cert", certificates.server(), "--key", certificates.key()};

    QTemporaryDir folder;
    PumpSimProcess sim;
    if (!sim.start(folder.path(), {"--wire-time"})) {
        std::fprintf(stderr, "%s\n", qPrintable(sim.error()));
        return 1;
    }
    const QString device = folder.filePath("COM1");
    const double cliMs = Median(CliExchanges(cli, device, calls));
    {
        Server server;
        server.program = cli;
        if (!server.start(QStringList{"--port", device, "--address", "1", "--data", folder.path()} + tls))
            return 1;
        const auto stub = Connect(server.ports[0], certificates.ca());
        std::vector<double> callMs;
        for (int i = 0; i < calls + 1; ++i) {
            QElapsedTimer clock;
            clock.start();
            if (!Send(*stub, "?")) return 1;
            if (i > 0) callMs.push_back(double(clock.nsecsElapsed()) / 1e6);  // the first connects
        }
        const double serveMs = Median(callMs);
        row("\"?\", 9600 baud on the wire: zadu-rovu-cli send's exchange", cliMs, "ms");
        row("\"?\", 9600 baud on the wire: SendCommandString over TLS, call to answer", serveMs, "ms");
        row("SendCommandString / (1.1 x send + 2 ms) (goal <= 1)", serveMs / (1.1 * cliMs + 2), "x");

        // A change of position to a subscriber: the pump initialised, then moved to and fro.
        if (!Send(*stub, "W4R")) return 1;
        QThread::msleep(1500);
        std::vector<double> changeMs;
        for (int move = 0; move < 6; ++move) {
            grpc::ClientContext context;
            auto reader = stub->Subscribe_PlungerPosition(&context, {});
            pump::Subscribe_PlungerPosition_Responses first, next;
            if (!reader->Read(&first)) return 1;
            if (!Send(*stub, move % 2 == 0 ? "V1000A600R" : "V1000A0R")) return 1;
            QElapsedTimer clock;
            clock.start();
            if (reader->Read(&next)) changeMs.push_back(double(clock.nsecsElapsed()) / 1e6);
            context.TryCancel();
            reader->Finish();
            QThread::msleep(1500);  // the move ends
        }
        row("PlungerPosition change to the subscriber (goal <= 200 ms + the exchange)", Median(changeMs),
            "ms");

        QThread::msleep(500);
        const double before = CpuSecondsOf(server.process.processId());
        QThread::sleep(10);
        row("processor time of a server with no client over 10 s",
            (CpuSecondsOf(server.process.processId()) - before) * 1000, "ms");
    }
    return Scale(cli, certificates, tls, row);
}

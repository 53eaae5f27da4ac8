// Times zadu-rovu-cli serve against pumpsim at 9600 baud with every byte's time on the wire
// (--wire-time), through a gRPC client over TLS on loopback:
// - "?" through SendCommandString, call to answer, against the same exchange made by
//   zadu-rovu-cli send (frame written to reply read, from its JSON lines). Goal: within
//   1.1x + 2 ms.
// - a PlungerPosition change to a subscriber: from the move's SendCommandString answered to the
//   first changed position received. Goal: within one poll period (200 ms) plus the exchange.
// - the processor time of a server with no client over 10 s (goal: nothing measurable);
// - its resident memory serving every pump one port can have (15: 1..9, A..F).
//   bench_sila [calls]     (default 100 calls; ZR_PUMPSIM and ZR_CLI override the programs)
// Prints the rows of the benchmark table: area, case, median, unit.
#include <grpcpp/grpcpp.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <cstdlib>
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

std::unique_ptr<pump::SyringePumpController::Stub> Connect(int port, const QString& ca) {
    QFile file(ca);
    file.open(QIODevice::ReadOnly);
    grpc::SslCredentialsOptions ssl;
    ssl.pem_root_certs = file.readAll().toStdString();
    return pump::SyringePumpController::NewStub(
        grpc::CreateChannel("127.0.0.1:" + std::to_string(port), grpc::SslCredentials(ssl)));
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
        if (!server.start(QStringList{"--port", device, "--data", folder.path()} + tls)) return 1;
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
    QTemporaryDir many;
    PumpSimProcess pumps;
    if (!pumps.start(many.path(), {"--address", "1,2,3,4,5,6,7,8,9,A,B,C,D,E,F"})) return 1;
    QStringList fifteen{"--port", many.filePath("COM1"), "--data", many.path()};
    for (const char* a : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B", "C", "D", "E", "F"})
        fifteen << "--address" << a;
    Server server;
    server.program = cli;
    if (!server.start(fifteen + tls, 15)) return 1;
    for (int port : server.ports) Send(*Connect(port, certificates.ca()), "?");
    row("resident memory serving 15 pumps (every pump of one port), each asked once",
        ResidentMiBOf(server.process.processId()), "MiB");
    return 0;
}

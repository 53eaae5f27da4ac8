#include "live/serve_process.h"

#include <signal.h>

#include <QElapsedTimer>
#include <QRegularExpression>

bool Server::start(const QStringList& arguments, int pumps) {
    QStringList options{"serve", "--listen", "127.0.0.1:0"};
    if (!announce) options << "--no-announce";
    process.start(program.isEmpty() ? QStringLiteral(ZR_CLI) : program, options + arguments);
    return waitForPumps(pumps);
}

bool Server::waitForPumps(int pumps, int ms) {
    QElapsedTimer clock;
    clock.start();
    static const QRegularExpression served("serving on 127\\.0\\.0\\.1:(\\d+)");
    while (clock.elapsed() < ms && process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(100);
        out += process.readAllStandardOutput();
        ports.clear();
        for (const QRegularExpressionMatch& m : served.globalMatch(QString::fromUtf8(out)))
            ports << m.captured(1).toInt();
        if (ports.size() >= pumps) {
            port = ports[0];
            return true;
        }
    }
    return false;
}

QStringList Server::uuids() const {
    static const QRegularExpression uuid("UUID ([0-9a-f-]{36})");
    QStringList found;
    for (const QRegularExpressionMatch& m : uuid.globalMatch(QString::fromUtf8(out))) found << m.captured(1);
    return found;
}

int Server::end(int ms) {
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    if (!process.waitForFinished(ms)) return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

Server::~Server() {
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
}

QStringList PumpOneIn(const QTemporaryDir& dir) {
    return {"--port", dir.filePath("COM1"), "--address", "1", "--data", dir.filePath("data")};
}

QString SelfSignedCaIn(const QTemporaryDir& dir) {
    return dir.filePath("data/sila-certificates/ca.pem");
}

QString SilaClientMissing() {
    QProcess python;
    python.start("/usr/bin/python3", {"-c", "import grpc, google.protobuf"});
    if (python.waitForFinished(30000) && python.exitStatus() == QProcess::NormalExit &&
        python.exitCode() == 0)
        return {};
    return "Debian's python3 lacks grpcio or protobuf: scripts/setup-packages installs python3-grpcio and "
           "python3-protobuf";
}

QStringList Client(int port, const QString& ca, const QStringList& calls) {
    QProcess client;
    client.start("/usr/bin/python3",
                 {ZR_SILA_CLIENT, ZR_SILA_DESCRIPTORS, "127.0.0.1:" + QString::number(port), ca});
    client.write((calls.join('\n') + '\n').toUtf8());
    client.closeWriteChannel();
    if (!client.waitForFinished(120000)) return {"client did not finish"};
    QStringList lines = QString::fromUtf8(client.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    const QByteArray err = client.readAllStandardError();
    if (!err.isEmpty()) lines << "client stderr: " + QString::fromUtf8(err);
    return lines;
}

#include "live/ser2net_process.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

namespace {

// Whether something listens on the loopback port, from the kernel's table (a test connection
// would be served by ser2net, which would open the device for it).
bool Listening(int port, bool ipv6) {
    QFile table(ipv6 ? "/proc/net/tcp6" : "/proc/net/tcp");
    if (!table.open(QIODevice::ReadOnly)) return false;
    const QByteArray local = QByteArray(":") + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 3 && fields[1].endsWith(local) && fields[3] == "0A") return true;
    }
    return false;
}

}  // namespace

int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

Ser2netProcess::~Ser2netProcess() {
    stop();
}

bool Ser2netProcess::start(const QStringList& accepters, const QStringList& devices,
                           const std::vector<int>& ports) {
    ports_ = ports;
    QByteArray configuration;
    for (int i = 0; i < accepters.size(); ++i) {
        if (std::size_t(i) >= ports_.size()) ports_.push_back(FreeLoopbackPort());
        QString accepter = accepters[i];
        const QString host = accepter.startsWith("ipv6:") ? "::1" : "127.0.0.1";
        accepter.remove("ipv6:");
        configuration += QString(
                             "connection: &pump%1\n"
                             "  accepter: %2,%3,%4\n"
                             "  connector: serialdev(nouucplock),%5,9600n81,local\n")
                             .arg(i)
                             .arg(accepter, host)
                             .arg(ports_[std::size_t(i)])
                             .arg(devices.value(i))
                             .toUtf8();
    }
    QFile file(folder_.filePath("ser2net.yaml"));
    if (!file.open(QIODevice::WriteOnly) || file.write(configuration) != configuration.size()) {
        error_ = "cannot write " + file.fileName();
        return false;
    }
    file.close();
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start("ser2net", {"-n", "-c", file.fileName(), "-P", folder_.filePath("ser2net.pid")});
    if (!process_.waitForStarted(5000)) {
        error_ = "ser2net did not start: " + process_.errorString();
        return false;
    }
    const QDeadlineTimer deadline(5000);
    for (int i = 0; i < accepters.size(); ++i) {
        const bool ipv6 = accepters[i].startsWith("ipv6:");
        while (!Listening(ports_[std::size_t(i)], ipv6)) {
            if (deadline.hasExpired() || process_.state() != QProcess::Running) {
                error_ = "ser2net does not listen on port " + QString::number(ports_[std::size_t(i)]) + ": " +
                         QString::fromLocal8Bit(process_.readAll());
                return false;
            }
            QThread::msleep(5);
        }
    }
    return true;
}

void Ser2netProcess::stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(3000);
}

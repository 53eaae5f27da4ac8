#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

// ser2net in the foreground, sharing serial devices on loopback ports with a configuration of
// its own. Each accepter is a gensio accepter without its address, e.g. "telnet(rfc2217),tcp" or
// "tcp", and gets a free port on 127.0.0.1 (on ::1 when it starts with "ipv6:"), for the device
// of the same place in the list of devices. The devices are opened without UUCP locks, so that a
// server killed leaves none behind.
class Ser2netProcess {
public:
    ~Ser2netProcess();

    // Starts it and waits until every port listens; false with error() telling why otherwise.
    // A port given in `ports` is used again (a restart on the ports of before).
    bool start(const QStringList& accepters, const QStringList& devices, const std::vector<int>& ports = {});
    void stop();
    int port(int accepter) const { return ports_.at(std::size_t(accepter)); }
    const std::vector<int>& ports() const { return ports_; }
    QString error() const { return error_; }
    qint64 processId() const { return process_.processId(); }

private:
    QTemporaryDir folder_;
    QProcess process_;
    std::vector<int> ports_;
    QString error_;
};

// A port on loopback that nothing listens on now.
int FreeLoopbackPort();

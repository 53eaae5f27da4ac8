#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// avahi-daemon for tests, on a system D-Bus of its own (a dbus-daemon with the test's own
// configuration, named to this process and its children by DBUS_SYSTEM_BUS_ADDRESS), both as
// child processes, published on loopback alone. Only where tests/in_network_namespace has made
// a network namespace holding loopback alone: anywhere else Refusal() says why and nothing is
// started, so that no test publishes or browses on a real interface.
class AvahiProcess {
public:
    AvahiProcess();
    ~AvahiProcess();
    AvahiProcess(const AvahiProcess&) = delete;
    AvahiProcess& operator=(const AvahiProcess&) = delete;

    // Empty where the daemon may run, else why not.
    static QString Refusal();

    // Each waits until it serves; false with error() telling why otherwise.
    bool startBus();
    bool startDaemon();
    void stopDaemon();
    void stopBus();
    QString error() const { return error_; }

private:
    bool write(const QString& name, const QByteArray& text);
    static void stop(QProcess& process);

    QTemporaryDir folder_;
    QProcess bus_;
    QProcess daemon_;
    QString error_;
};

// One service as `avahi-browse -rpt _sila._tcp` resolved it, its fields unescaped.
struct BrowsedService {
    QByteArray name;
    QByteArray host;
    QByteArray address;
    int port = 0;
    QMap<QByteArray, QByteArray> txt;
};

// Runs avahi-browse once (it ends when the daemon expects nothing more soon); false with
// `error` set when it fails.
bool AvahiBrowse(QList<BrowsedService>& services, QString& error);

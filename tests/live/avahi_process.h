#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <functional>

// avahi-daemon for tests, on a system D-Bus of its own (a dbus-daemon with the test's own
// configuration, named to this process and its children by DBUS_SYSTEM_BUS_ADDRESS), both as
// child processes, published on loopback alone. Only where tests/in_network_namespace has made
// a network namespace holding loopback alone: anywhere else Refusal() says why and nothing is
// started, so that no test publishes or browses on a real interface.
// As OtherComputer it is a second responder on the same loopback, as another computer's would be
// on a network: its bus is its own alone (this process keeps the first's), its runtime folder a
// /run of its own (unshare -m), its host name another, and it publishes no address records (both
// would claim 127.0.0.1's reverse name), so its services are seen but not resolved.
class AvahiProcess {
public:
    enum class Role { ThisComputer, OtherComputer };

    explicit AvahiProcess(Role role = Role::ThisComputer);
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
    // Both stopped, then both started again: nothing left of an earlier case.
    bool startAfresh();
    // Publishes a _sila._tcp service through the daemon with avahi-publish, which keeps it until
    // stopDaemon(); false with error() telling why when it is not established under that name.
    bool publish(const QString& name, int port);
    QString error() const { return error_; }

private:
    bool write(const QString& name, const QByteArray& text);

    Role role_;
    QTemporaryDir folder_;
    QProcess bus_;
    QProcess daemon_;
    QProcess publisher_;
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

// The service of that instance name among `services`, or none.
const BrowsedService* Named(const QList<BrowsedService>& services, const QByteArray& name);

// Browses with avahi-browse until `seen` holds for what it shows (probing and announcing take
// about a second), for at most 10 s; the last browse in `services`.
bool BrowseUntil(const std::function<bool(const QList<BrowsedService>&)>& seen,
                 QList<BrowsedService>& services);

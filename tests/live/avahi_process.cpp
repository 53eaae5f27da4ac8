#include "live/avahi_process.h"

#include <net/if.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QStringList>
#include <cctype>

#include "live/child_process.h"

namespace {

// A bus that lets anyone own any name and send anything: only the test and its daemon use it.
constexpr char kBusConfiguration[] = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
)";

// Loopback alone, IPv4 alone (one resolution a service), nothing of the machine's own.
constexpr char kDaemonConfiguration[] = R"([server]
host-name=zr-test
use-ipv4=yes
use-ipv6=no
allow-interfaces=lo
enable-dbus=yes
ratelimit-interval-usec=1000000
ratelimit-burst=1000
[wide-area]
enable-wide-area=no
[publish]
publish-hinfo=no
publish-workstation=no
publish-addresses=yes
[reflector]
enable-reflector=no
)";

// Makes /run its own for the daemon (its pid file and socket are there), then runs it.
constexpr char kOwnRun[] =
    "mount -t tmpfs zr-other /run && mkdir /run/avahi-daemon && exec avahi-daemon \"$@\"";

// The names of the network interfaces this process sees.
QStringList Interfaces() {
    QStringList names;
    if (struct if_nameindex* list = if_nameindex()) {
        for (struct if_nameindex* at = list; at->if_index != 0; ++at)
            names << QString::fromLocal8Bit(at->if_name);
        if_freenameindex(list);
    }
    return names;
}

// Whether the child tells `text`, as it does once it serves; `error` says why not otherwise.
bool Serves(QProcess& process, const QByteArray& text, const QString& failure, QString& error) {
    QByteArray seen;
    if (WaitForOutput(process, text, seen)) return true;
    error = failure + ": " + process.errorString() + " " + QString::fromLocal8Bit(seen);
    return false;
}

// avahi's escapes: \ddd a byte in decimal, \c the character c.
QByteArray Unescaped(const QByteArray& text) {
    QByteArray plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            plain += text[i];
        } else if (i + 3 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1]))) {
            plain += char(text.mid(i + 1, 3).toInt());
            i += 3;
        } else {
            plain += text[++i];
        }
    }
    return plain;
}

// The TXT field: "entry" "entry" ..., each escaped.
QMap<QByteArray, QByteArray> TxtEntries(const QByteArray& field) {
    QMap<QByteArray, QByteArray> entries;
    for (qsizetype at = field.indexOf('"'); at >= 0; at = field.indexOf('"', at)) {
        qsizetype end = at + 1;
        while (end < field.size() && field[end] != '"') end += field[end] == '\\' ? 2 : 1;
        const QByteArray entry = Unescaped(field.mid(at + 1, end - at - 1));
        const qsizetype equals = entry.indexOf('=');
        entries.insert(entry.left(equals), equals < 0 ? QByteArray() : entry.mid(equals + 1));
        at = end + 1;
    }
    return entries;
}

}  // namespace

AvahiProcess::AvahiProcess(Role role) : role_(role) {
    const QString address = "unix:path=" + folder_.filePath("system_bus_socket");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SYSTEM_BUS_ADDRESS", address);
    for (QProcess* process : {&bus_, &daemon_, &publisher_}) {
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->setProcessEnvironment(environment);
    }
    if (role_ == Role::ThisComputer) qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toUtf8());
}

AvahiProcess::~AvahiProcess() {
    stopDaemon();
    stopBus();
}

QString AvahiProcess::Refusal() {
    if (qEnvironmentVariable("ZR_NETWORK_NAMESPACE") != "1") {
        const QString why = qEnvironmentVariable("ZR_NETWORK_NAMESPACE_REFUSED");
        return "not in a network namespace of its own (run it through tests/in_network_namespace)" +
               (why.isEmpty() ? QString() : ": " + why);
    }
    if (Interfaces() != QStringList{"lo"})
        return "the network namespace holds other interfaces than loopback: " + Interfaces().join(", ");
    return {};
}

bool AvahiProcess::write(const QString& name, const QByteArray& text) {
    QFile file(folder_.filePath(name));
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size()) return true;
    error_ = "cannot write " + file.fileName();
    return false;
}

bool AvahiProcess::startBus() {
    error_ = Refusal();
    if (!error_.isEmpty()) return false;
    const QString socket = folder_.filePath("system_bus_socket");
    QFile::remove(socket);
    if (!write("bus.conf", QString(kBusConfiguration).arg(socket).toUtf8())) return false;
    bus_.start("dbus-daemon",
               {"--nofork", "--print-address=1", "--config-file=" + folder_.filePath("bus.conf")});
    return Serves(bus_, "unix:", "dbus-daemon does not serve", error_);
}

bool AvahiProcess::startDaemon() {
    error_ = Refusal();
    QByteArray configuration = kDaemonConfiguration;
    if (role_ == Role::OtherComputer)
        configuration.replace("host-name=zr-test", "host-name=zr-other")
            .replace("publish-addresses=yes", "publish-addresses=no");
    if (!error_.isEmpty() || !write("avahi-daemon.conf", configuration)) return false;
    const QStringList options = QStringList{"-f", folder_.filePath("avahi-daemon.conf")} +
                                QString("--no-drop-root --no-chroot --no-rlimits --no-proc-title").split(' ');
    if (role_ == Role::OtherComputer) {
        daemon_.start("unshare", QStringList{"-m", "sh", "-c", kOwnRun, "sh"} + options);
    } else {
        // It would take a pid file left by a daemon killed outright for a daemon running.
        QFile::remove("/run/avahi-daemon/pid");
        daemon_.start("avahi-daemon", options);
    }
    return Serves(daemon_, "Server startup complete", "avahi-daemon does not start", error_);
}

bool AvahiProcess::startAfresh() {
    stopDaemon();
    stopBus();
    return startBus() && startDaemon();
}

void AvahiProcess::stopDaemon() {
    EndChild(publisher_);
    EndChild(daemon_);
}

bool AvahiProcess::publish(const QString& name, int port) {
    EndChild(publisher_);
    error_ = Refusal();
    if (!error_.isEmpty()) return false;
    publisher_.start("avahi-publish", {"-s", name, "_sila._tcp", QString::number(port)});
    return Serves(publisher_, "Established under name '" + name.toUtf8() + "'",
                  "avahi-publish did not publish " + name, error_);
}

void AvahiProcess::stopBus() {
    EndChild(bus_);
}

bool AvahiBrowse(QList<BrowsedService>& services, QString& error) {
    services.clear();
    // Browsing outside a namespace of loopback alone would ask the machine's real network.
    error = AvahiProcess::Refusal();
    if (!error.isEmpty()) return false;
    QProcess browse;
    browse.start("avahi-browse", {"-rpt", "_sila._tcp"});
    if (!browse.waitForFinished(10000) || browse.exitStatus() != QProcess::NormalExit ||
        browse.exitCode() != 0) {
        error =
            "avahi-browse failed: " + browse.errorString() + " " + QString::fromLocal8Bit(browse.readAll());
        browse.kill();
        browse.waitForFinished(1000);
        return false;
    }
    // =;interface;protocol;name;type;domain;host;address;port;txt
    for (const QByteArray& line : browse.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.split(';');
        if (fields.size() < 10 || fields[0] != "=") continue;
        services.append({Unescaped(fields[3]), fields[6], fields[7], fields[8].toInt(),
                         TxtEntries(fields.mid(9).join(';'))});
    }
    return true;
}

const BrowsedService* Named(const QList<BrowsedService>& services, const QByteArray& name) {
    for (const BrowsedService& s : services)
        if (s.name == name) return &s;
    return nullptr;
}

bool BrowseUntil(const std::function<bool(const QList<BrowsedService>&)>& seen,
                 QList<BrowsedService>& services) {
    const QDeadlineTimer deadline(10000);
    QString error;
    while (AvahiBrowse(services, error)) {
        if (seen(services)) return true;
        if (deadline.hasExpired()) return false;
    }
    qWarning() << error;
    return false;
}

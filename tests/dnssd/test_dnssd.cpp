#include <QTest>
#include <QThread>
#include <functional>
#include <mutex>

#include "dnssd/dnssd.h"
#include "fakes/rows_file.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "live/avahi_process.h"

using namespace zr;

namespace {

// What the publisher tells of a daemon it cannot reach, as an operator reads it.
QString Unreachable(const QString& why) {
    return "avahi-daemon cannot be reached (" + why +
           "): the pump servers cannot be discovered by DNS-SD until it runs";
}
// What a publisher told, from whichever thread it told it.
class Told {
public:
    std::function<void(const std::string&)> sink() {
        return [this](const std::string& text) {
            const std::lock_guard lock(mutex_);
            lines_ << QString::fromStdString(text);
        };
    }
    QStringList lines() const {
        const std::lock_guard lock(mutex_);
        return lines_;
    }

private:
    mutable std::mutex mutex_;
    QStringList lines_;
};

// x{n} stands for n characters x, in UTF-8.
QByteArray Expanded(const QByteArray& text) {
    return test::ExpandedRepeats(QString::fromUtf8(text)).toUtf8();
}

dnssd::Record Record(const std::string& name, uint16_t port, const std::string& serverName,
                     const dnssd::TxtEntries& more = {}) {
    dnssd::Record record{
        name, port, {{"version", "1.0"}, {"server_name", serverName}, {"description", "A pump"}}, {}};
    record.txt.insert(record.txt.end(), more.begin(), more.end());
    return record;
}

bool BrowseUntilPort(const QByteArray& name, int port, QList<BrowsedService>& services) {
    return BrowseUntil(
        [&](const QList<BrowsedService>& s) {
            const BrowsedService* found = Named(s, name);
            return found && found->port == port;
        },
        services);
}

const char kUuidA[] = "8f3c2b7e-4a91-4c0d-9e5b-1f2a3b4c5d6e";
const char kUuidB[] = "0b1c2d3e-4f50-4617-8283-94a5b6c7d8e9";

}  // namespace

class TestDnssd : public QObject {
    Q_OBJECT

    AvahiProcess avahi_;  // the daemon and its bus end with the test object

private slots:
    void init() {
        if (!QByteArray(QTest::currentTestFunction()).startsWith("live")) return;
        const QString refusal = AvahiProcess::Refusal();
        if (!refusal.isEmpty()) QSKIP(qPrintable("avahi-daemon is not started: " + refusal));
        QVERIFY2(avahi_.startAfresh(), qPrintable(avahi_.error()));
    }

    void caPieces_data() { test::AddTableRows(ZR_TEST_DATA "/ca_pieces.txt"); }

    void caPieces() {
        QFETCH(QByteArrayList, row);
        std::string pem;
        for (int i = 0; i < row[1].toInt(); ++i) pem += "-----BEGIN CERTIFICATE-----\nMIIB"[i % 33];
        const dnssd::TxtEntries entries = dnssd::CaEntries(pem);
        QCOMPARE(int(entries.size()), row[2].toInt());
        std::string rebuilt;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            QCOMPARE(entries[i].first, "ca" + std::to_string(i));
            const std::size_t whole = entries[i].first.size() + 1 + entries[i].second.size();
            QVERIFY2(whole <= 255, qPrintable(QString::number(whole)));
            if (i + 1 == entries.size()) QCOMPARE(int(whole), row[3].toInt());
            rebuilt += entries[i].second;
        }
        QCOMPARE(rebuilt, pem);
    }

    // Every server name of the table at once, each its own instance, after a name DNS cannot
    // carry (a label holds 63 bytes): that one told once, however often it is given, and no
    // hindrance to the others.
    void liveServerNames() {
        const auto rows = test::ReadRows(ZR_TEST_DATA "/server_names.txt", '|');
        const std::string tooLong(64, 'x');
        Told told;
        dnssd::Publisher publisher(told.sink());
        publisher.publish(Record(tooLong, 50051, "Pump 1"));
        publisher.update(Record(tooLong, 50051, "Pump 1 again"));
        for (std::size_t i = 0; i < rows.size(); ++i)
            publisher.publish(Record("name-" + std::to_string(i), uint16_t(50100 + i),
                                     Expanded(QByteArray::fromStdString(rows[i][1])).toStdString()));
        QList<BrowsedService> services;
        QVERIFY(BrowseUntil(
            [&](const QList<BrowsedService>& s) { return s.size() == qsizetype(rows.size()); }, services));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const BrowsedService* s = Named(services, "name-" + QByteArray::number(qulonglong(i)));
            QVERIFY2(s, rows[i][0].c_str());
            QCOMPARE(s->port, int(50100 + i));
            QCOMPARE(s->txt.value("server_name"), Expanded(QByteArray::fromStdString(rows[i][2])));
        }
        QCOMPARE(told.lines(), QStringList{"DNS-SD cannot publish " + QString::fromStdString(tooLong) +
                                           ": Invalid service name"});
    }

    // A daemon that starts after the publisher, and restarts: published each time it is there,
    // its absence told once each time it goes.
    void liveDaemonLater() {
        avahi_.stopDaemon();
        Told told;
        dnssd::Publisher publisher(told.sink());
        publisher.publish(Record(kUuidA, 50051, "Pump 1"));
        QThread::msleep(1000);  // long enough for a repeated telling to have come
        QCOMPARE(told.lines(), QStringList{Unreachable("Daemon not running")});
        QVERIFY2(avahi_.startDaemon(), qPrintable(avahi_.error()));
        QList<BrowsedService> services;
        QVERIFY(BrowseUntilPort(kUuidA, 50051, services));
        avahi_.stopDaemon();
        QThread::msleep(500);
        QCOMPARE(told.lines(),
                 (QStringList{Unreachable("Daemon not running"), Unreachable("Daemon connection failed")}));
        publisher.publish(Record(kUuidB, 50052, "Pump 2"));
        QVERIFY2(avahi_.startDaemon(), qPrintable(avahi_.error()));
        QVERIFY(BrowseUntil(
            [](const QList<BrowsedService>& s) { return Named(s, kUuidA) && Named(s, kUuidB); }, services));
        QCOMPARE(told.lines().size(), 2);
    }
};

ZR_TEST(TestDnssd);

#include "test_dnssd.moc"

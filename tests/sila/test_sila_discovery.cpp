#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "fakes/test_registry.h"
#include "live/avahi_process.h"
#include "live/pumpsim_process.h"
#include "live/serve_process.h"

// zadu-rovu-cli serve's pumps as a SiLA client finds them: by DNS-SD alone, through an
// avahi-daemon of the test's own on loopback, trusting the CA the record carries.
class SilaDiscoveryTest : public QObject {
    Q_OBJECT

    AvahiProcess avahi_;

private slots:
    void initTestCase();
    void init();
    void twoPumpsOfOneBusAreTwoRecordsWithTheirCa();
    void aNewNameIsAnnouncedTermWithdrawsARestartKeepsUuidAndCa();
    void withoutTheDaemonItServesSaysSoOnceAndIsAnnouncedOnceItRuns_data();
    void withoutTheDaemonItServesSaysSoOnceAndIsAnnouncedOnceItRuns();
    void aServerOfTheSameUuidElsewhereIsTold();
};

namespace {

// What a server listening on 127.0.0.1 says first, every start.
const QByteArray kLoopbackAlone =
    "serve: listening on 127.0.0.1, so announced on this computer's loopback alone (other computers could "
    "not "
    "reach it): give --listen 0.0.0.0:PORT or an address of the lab network to be found there\n";

const QString kNoDaemon =
    "serve: avahi-daemon cannot be reached \\(.+\\): the pump servers cannot be discovered by DNS-SD until "
    "it runs";

// The CA put together from ca0, ca1, ... in that order.
QByteArray CaFrom(const BrowsedService& s) {
    QByteArray pem;
    for (int i = 0; s.txt.contains("ca" + QByteArray::number(i)); ++i)
        pem += s.txt.value("ca" + QByteArray::number(i));
    return pem;
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// zadu-rovu-cli scan --sila with `options`: its stdout, stderr and exit status.
struct Scanned {
    QByteArray out, err;
    int status = -1;
};
Scanned ScanSila(const QStringList& options) {
    QProcess scan;
    scan.start(QStringLiteral(ZR_CLI), QStringList{"scan", "--sila", "--seconds", "5"} + options);
    if (!scan.waitForFinished(20000)) return {};
    return {scan.readAllStandardOutput(), scan.readAllStandardError(), scan.exitCode()};
}

QString Value(const QString& json) {
    return QJsonDocument::fromJson(json.section("ok ", 1).toUtf8())
        .object()
        .begin()
        ->toObject()["value"]
        .toString();
}

}  // namespace

void SilaDiscoveryTest::initTestCase() {
    if (const QString missing = SilaClientMissing(); !missing.isEmpty()) QSKIP(qPrintable(missing));
}

void SilaDiscoveryTest::init() {
    const QString refusal = AvahiProcess::Refusal();
    if (!refusal.isEmpty()) QSKIP(qPrintable("avahi-daemon is not started: " + refusal));
    QVERIFY2(avahi_.startAfresh(), qPrintable(avahi_.error()));
}

// serve without --cert on one line holding pumps 1 and 2: a record each, what it tells the
// same as the server tells, and its CA, rebuilt, the one a client needs.
void SilaDiscoveryTest::twoPumpsOfOneBusAreTwoRecordsWithTheirCa() {
    QTemporaryDir dir;
    PumpSimProcess sim;
    QVERIFY2(sim.start(dir.path(), {"--address", "1,2"}), qPrintable(sim.error()));
    const QString line = dir.filePath("COM1");
    Server server;
    server.announce = true;
    QVERIFY2(
        server.start({"--port", line, "--address", "1", "--address", "2", "--data", dir.filePath("data")}, 2),
        server.out.constData());
    const QStringList uuids = server.uuids();
    QCOMPARE(uuids.size(), 2);
    QList<BrowsedService> services;
    QVERIFY(BrowseUntil(
        [&](const auto& s) { return Named(s, uuids[0].toUtf8()) && Named(s, uuids[1].toUtf8()); }, services));
    QCOMPARE(services.size(), 2);
    const QByteArray pem = Contents(SelfSignedCaIn(dir));
    QVERIFY(pem.startsWith("-----BEGIN CERTIFICATE-----") && pem.size() > 255);
    for (int i = 0; i < 2; ++i) {
        const BrowsedService& s = *Named(services, uuids[i].toUtf8());
        const QString pump = QString::number(i + 1);
        QCOMPARE(s.address, "127.0.0.1");
        QCOMPARE(s.port, server.ports[i]);
        QCOMPARE(s.txt.value("server_name"), ("Pump " + pump + " on " + line).toUtf8());
        QCOMPARE(s.txt.value("zadurovu_pump"), pump.toUtf8());
        QCOMPARE(s.txt.value("zadurovu_port"), line.toUtf8());
        QCOMPARE(CaFrom(s), pem);
        // The client trusts the rebuilt CA alone, at the record's port, and meets the record's server.
        const QString ca = dir.filePath("ca" + pump + ".pem");
        QVERIFY(Write(ca, CaFrom(s)));
        const QStringList got =
            Client(s.port, ca,
                   {"call SiLAService.Get_ServerUUID {}", "call SiLAService.Get_ServerVersion {}",
                    "call SiLAService.Get_ServerDescription {}"});
        QCOMPARE(got.size(), 3);
        QCOMPARE(Value(got[0]), uuids[i]);
        QCOMPARE(s.txt.value("version"), Value(got[1]).toUtf8());
        QVERIFY(!s.txt.value("version").isEmpty());
        QCOMPARE(s.txt.value("description"), Value(got[2]).toUtf8());
    }

    const Scanned text = ScanSila({});
    QCOMPARE(text.status, 0);
    const QStringList lines = QString::fromUtf8(text.out).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    // Loopback by either of its addresses: which one avahi resolves the host name to is its own.
    for (int i = 0; i < 2; ++i) {
        const QString pump = QString::number(i + 1);
        const QRegularExpression want(QRegularExpression::anchoredPattern(
            QRegularExpression::escape("\"Pump " + pump + " on " + line + "\" UUID " + uuids[i] + " at ") +
            "(127\\.0\\.0\\.1|\\[::1\\])" +
            QRegularExpression::escape(":" + QString::number(server.ports[i]) + " (zr-test.local): pump " +
                                       pump + " on " + line + ", self-signed CA in the record")));
        QVERIFY2(lines.filter(want).size() == 1, text.out.constData());
    }
    const Scanned json = ScanSila({"--json"});
    QCOMPARE(json.status, 0);
    const QList<QByteArray> objects = json.out.trimmed().split('\n');
    QCOMPARE(objects.size(), 2);
    for (const QByteArray& object : objects) {
        const QJsonObject o = QJsonDocument::fromJson(object).object();
        const int i = uuids.indexOf(o["uuid"].toString());
        QVERIFY2(i >= 0, object.constData());
        QCOMPARE(o["port"].toInt(), server.ports[i]);
        QVERIFY2(QStringList({"127.0.0.1", "::1"}).contains(o["address"].toString()), object.constData());
        QCOMPARE(o["host"].toString(), "zr-test.local");
        QCOMPARE(o["pump"].toString(), QString::number(i + 1));
        QCOMPARE(o["pumpPort"].toString(), line);
        QCOMPARE(o["ca"].toString().toUtf8(), pem);
    }
    QCOMPARE(server.end(), 0);
    QCOMPARE(server.process.readAllStandardError(), kLoopbackAlone);
}

void SilaDiscoveryTest::aNewNameIsAnnouncedTermWithdrawsARestartKeepsUuidAndCa() {
    QTemporaryDir dir;
    PumpSimProcess sim;
    QVERIFY2(sim.start(dir.path(), {}), qPrintable(sim.error()));
    const QStringList options = PumpOneIn(dir);
    const QString ca = SelfSignedCaIn(dir);
    QString uuid;
    QByteArray pem;
    {
        Server server;
        server.announce = true;
        QVERIFY(server.start(options));
        uuid = server.uuids().value(0);
        QList<BrowsedService> services;
        QVERIFY(BrowseUntil([&](const auto& s) { return Named(s, uuid.toUtf8()); }, services));
        pem = CaFrom(*Named(services, uuid.toUtf8()));
        QCOMPARE(Client(server.port, ca,
                        {"call SiLAService.SetServerName {\"ServerName\": {\"value\": \"Bench é\"}}"}),
                 QStringList{"ok {}"});
        QElapsedTimer clock;
        clock.start();
        QVERIFY(BrowseUntil(
            [&](const auto& s) {
                return Named(s, uuid.toUtf8()) &&
                       Named(s, uuid.toUtf8())->txt.value("server_name") == "Bench é";
            },
            services));
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(CaFrom(*Named(services, uuid.toUtf8())), pem);
        clock.restart();
        QCOMPARE(server.end(), 0);
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        // Withdrawn: gone once a browser's cache takes the goodbye (a second after it).
        clock.restart();
        QVERIFY(BrowseUntil([&](const auto& s) { return !Named(s, uuid.toUtf8()); }, services));
        QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
        const Scanned none = ScanSila({});
        QCOMPARE(none.status, 3);
        QCOMPARE(none.out, QByteArray());
        QCOMPARE(none.err, "scan --sila: no SiLA server is announced by DNS-SD\n");
    }
    Server again;
    again.announce = true;
    QVERIFY(again.start(options));
    QCOMPARE(again.uuids().value(0), uuid);
    QList<BrowsedService> services;
    QVERIFY(BrowseUntil([&](const auto& s) { return Named(s, uuid.toUtf8()); }, services));
    QCOMPARE(Named(services, uuid.toUtf8())->txt.value("server_name"), "Bench é");
    QCOMPARE(CaFrom(*Named(services, uuid.toUtf8())), pem);
    QCOMPARE(again.end(), 0);
}

void SilaDiscoveryTest::withoutTheDaemonItServesSaysSoOnceAndIsAnnouncedOnceItRuns_data() {
    QTest::addColumn<bool>("bus");
    QTest::newRow("the bus without the daemon") << true;
    QTest::newRow("no bus either") << false;
}

void SilaDiscoveryTest::withoutTheDaemonItServesSaysSoOnceAndIsAnnouncedOnceItRuns() {
    QFETCH(bool, bus);
    avahi_.stopDaemon();
    if (!bus) avahi_.stopBus();
    QTemporaryDir dir;
    PumpSimProcess sim;
    QVERIFY2(sim.start(dir.path(), {}), qPrintable(sim.error()));
    Server server;
    server.announce = true;
    QVERIFY(server.start(PumpOneIn(dir)));
    const QString ca = SelfSignedCaIn(dir);
    QCOMPARE(Client(server.port, ca, {"call SiLAService.Get_ServerType {}"}),
             QStringList{"ok {\"ServerType\": {\"value\": \"SyringePump\"}}"});
    const Scanned scanned = ScanSila({});
    QCOMPARE(scanned.status, 2);
    QVERIFY2(QString::fromUtf8(scanned.err).startsWith("scan --sila: avahi-daemon cannot be reached ("),
             scanned.err.constData());
    // Past the publisher's first retry without a bus (5 s): still told once.
    QTest::qWait(6000);
    if (!bus) QVERIFY2(avahi_.startBus(), qPrintable(avahi_.error()));
    QVERIFY2(avahi_.startDaemon(), qPrintable(avahi_.error()));
    const QString uuid = server.uuids().value(0);
    QList<BrowsedService> services;
    QVERIFY(BrowseUntil([&](const auto& s) { return Named(s, uuid.toUtf8()); }, services));
    const QStringList told =
        QString::fromUtf8(server.process.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(told.size(), 2);
    QCOMPARE(told[0] + '\n', QString::fromUtf8(kLoopbackAlone));
    QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(kNoDaemon)).match(told[1]).hasMatch(),
             qPrintable(told[1]));
    QCOMPARE(server.end(), 0);
}

// Two computers, one UUID (a data folder copied): the second is told it is not announced.
void SilaDiscoveryTest::aServerOfTheSameUuidElsewhereIsTold() {
    QTemporaryDir dir;
    const QStringList options = PumpOneIn(dir);
    QString uuid;
    {
        Server quiet;
        QVERIFY(quiet.start(options));
        uuid = quiet.uuids().value(0);
        QCOMPARE(quiet.end(), 0);
    }
    AvahiProcess other(AvahiProcess::Role::OtherComputer);
    QVERIFY2(other.startBus() && other.startDaemon(), qPrintable(other.error()));
    QVERIFY2(other.publish(uuid, 50099), qPrintable(other.error()));
    Server server;
    server.announce = true;
    QVERIFY(server.start(options));
    const QByteArray expected = kLoopbackAlone + "serve: another server is announced by DNS-SD as " +
                                uuid.toUtf8() + ": this one is not published under that name\n";
    QByteArray told;
    for (int i = 0; i < 100 && told.size() < expected.size(); ++i) {
        server.process.waitForReadyRead(100);
        told += server.process.readAllStandardError();
    }
    QCOMPARE(told, expected);
    QCOMPARE(server.end(), 0);
}

ZR_TEST(SilaDiscoveryTest);
#include "test_sila_discovery.moc"

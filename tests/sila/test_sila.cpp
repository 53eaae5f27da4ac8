#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "live/pumpsim_process.h"
#include "live/ser2net_process.h"
#include "live/serve_process.h"
#include "live/test_certificates.h"

// zadu-rovu-cli serve as a lab meets it: the real program over TLS on loopback, pumpsim on a
// pseudo-terminal, and a SiLA client that knows only the protos.
class SilaTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void aClientGetsWhatThePumpTells_data() { zr::test::AddTableRows(QFINDTESTDATA("calls.txt")); }
    void aClientGetsWhatThePumpTells();
    void theServedFeatureIsTheFileTheSchemaAccepts();
    void uuidAndNameOutliveARestart();
    void aPortThatAppearsLaterOrComesBackIsServed();
    void aBusIsServedWholeAndAPumpFoundLaterJoinsOnHangup();
    void aCancelledSubscriptionEndsThePoll();
    void insecureIsToldAndTermEndsItQuickly();
    void termEndsAWaitForAReplyAndClosesTheLine();
    void withoutACertificateItsOwnIsMadeAndKept();

private:
    // Serving the pump linked as COM1 in `dir` with the lab's certificate, its records there.
    QStringList lab(const QTemporaryDir& dir) const {
        return {"--port", dir.filePath("COM1"), "--address", "1",       "--cert", certificates_.server(),
                "--key",  certificates_.key(),  "--data",    dir.path()};
    }

    TestCertificates certificates_;
};

namespace {

// "{N}": N times "é", a character of two bytes.
QString Filled(QString text) {
    static const QRegularExpression repeat("\\{(\\d+)\\}");
    for (QRegularExpressionMatch m = repeat.match(text); m.hasMatch(); m = repeat.match(text))
        text.replace(m.capturedStart(), m.capturedLength(), QString(m.captured(1).toInt(), QChar(0xe9)));
    return text;
}

}  // namespace

void SilaTest::initTestCase() {
    if (const QString missing = SilaClientMissing(); !missing.isEmpty()) QSKIP(qPrintable(missing));
    QVERIFY2(certificates_.make(), qPrintable(certificates_.error()));
}

void SilaTest::aClientGetsWhatThePumpTells() {
    QFETCH(QByteArrayList, row);
    QTemporaryDir dir;
    PumpSimProcess sim;
    QStringList simOptions;
    for (const QString& o :
         QString::fromUtf8(row[1]).split(QRegularExpression(" (?=--)"), Qt::SkipEmptyParts)) {
        const int blank = o.indexOf(' ');
        simOptions << o.left(blank);
        if (blank > 0) simOptions << o.mid(blank + 1).remove('\'');
    }
    QVERIFY2(sim.start(dir.path(), simOptions), qPrintable(sim.error()));
    // {net}: the same pump through ser2net on loopback.
    Ser2netProcess network;
    if (row[2].contains("{net}"))
        QVERIFY2(network.start({"telnet(rfc2217),tcp"}, {dir.filePath("COM1")}), qPrintable(network.error()));
    const auto fill = [&](QString text) {
        if (text.contains("{net}"))
            text.replace("{net}", "rfc2217://127.0.0.1:" + QString::number(network.port(0)));
        return text.replace("{netpid}", QString::number(network.processId()))
            .replace("{sim}", dir.filePath("COM1"))
            .replace("{dir}", dir.filePath("nothing"))
            .replace("{simpid}", QString::number(sim.processId()));
    };
    Server server;
    QVERIFY2(server.start(fill(QString::fromUtf8(row[2])).split(' ', Qt::SkipEmptyParts) +
                          QStringList{"--cert", certificates_.server(), "--key", certificates_.key(),
                                      "--data", dir.filePath("data")}),
             server.out.constData());
    const QStringList calls = Filled(fill(QString::fromUtf8(row[3]))).split(" ; ");
    const QStringList expected = Filled(QString::fromUtf8(row[4])).split(" ; ");
    const QStringList got = Client(server.port, certificates_.ca(), calls);
    for (qsizetype i = 0; i < std::max(got.size(), expected.size()); ++i) {
        const QString line = got.value(i, "(no line)");
        QStringList pieces;
        for (const QString& piece : expected.value(i, "(no line)").split('*'))
            pieces << QRegularExpression::escape(piece);
        const QRegularExpression want(QRegularExpression::anchoredPattern(pieces.join(".*")));
        QVERIFY2(want.match(line).hasMatch(), qPrintable("line " + QString::number(i + 1) + ": " + line +
                                                         "\n  expected: " + expected.value(i)));
    }
    QCOMPARE(server.end(), 0);
}

void SilaTest::theServedFeatureIsTheFileTheSchemaAccepts() {
    QTemporaryDir dir;
    PumpSimProcess sim;
    QVERIFY2(sim.start(dir.path(), {}), qPrintable(sim.error()));
    Server server;
    QVERIFY(server.start(lab(dir)));
    const QString schema = QFINDTESTDATA("../../../shared/sila/schema/FeatureDefinition.xsd");
    for (const char* feature :
         {"org.silastandard/core/SiLAService/v1", "org.zadurovu/pumps/SyringePumpController/v1"}) {
        const QStringList got =
            Client(server.port, certificates_.ca(),
                   {QString("call SiLAService.GetFeatureDefinition {\"FeatureIdentifier\": "
                            "{\"value\": \"%1\"}}")
                        .arg(feature)});
        QVERIFY2(got.size() == 1 && got[0].startsWith("ok "), qPrintable(got.join('\n')));
        QString xml = QString(got[0]).section("\"value\": \"", 1).chopped(3);
        QFile file(dir.filePath("served.sila.xml"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        // The client prints JSON: its escapes undone.
        file.write(xml.replace("\\n", "\n").replace("\\\"", "\"").toUtf8());
        file.close();
        if (schema.isEmpty()) QSKIP("the standard's schema is not beside the project");
        QProcess lint;
        lint.start("xmllint", {"--noout", "--schema", schema, file.fileName()});
        QVERIFY(lint.waitForFinished(30000));
        QVERIFY2(lint.exitCode() == 0, lint.readAllStandardError().constData());
    }
    QCOMPARE(server.end(), 0);
}

void SilaTest::uuidAndNameOutliveARestart() {
    QTemporaryDir dir;
    PumpSimProcess sim;
    QVERIFY2(sim.start(dir.path(), {"--address", "1,2"}), qPrintable(sim.error()));
    const QStringList options{"--port",    dir.filePath("COM1"),
                              "--address", "1",
                              "--address", "2",
                              "--cert",    certificates_.server(),
                              "--key",     certificates_.key(),
                              "--data",    dir.filePath("data")};
    QStringList first;
    {
        Server server;
        QVERIFY(server.start(options));
        first = Client(server.port, certificates_.ca(),
                       {"call SiLAService.SetServerName {\"ServerName\": {\"value\": \"Bench pump\"}}",
                        "call SiLAService.Get_ServerUUID {}"});
        const QStringList second =
            Client(server.port + 1, certificates_.ca(), {"call SiLAService.Get_ServerUUID {}"});
        QCOMPARE(first.size(), 2);
        QVERIFY2(second.size() == 1 && second[0] != first[1], qPrintable(second.join('\n')));
        QCOMPARE(server.end(), 0);
    }
    Server again;
    QVERIFY(again.start(options));
    const QStringList after =
        Client(again.port, certificates_.ca(),
               {"call SiLAService.Get_ServerUUID {}", "call SiLAService.Get_ServerName {}"});
    QCOMPARE(after, QStringList({first[1], "ok {\"ServerName\": {\"value\": \"Bench pump\"}}"}));
    QVERIFY2(first[1].contains(
                 QRegularExpression(R"("[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}")")),
             qPrintable(first[1]));
}

void SilaTest::aPortThatAppearsLaterOrComesBackIsServed() {
    QTemporaryDir dir;
    Server server;
    QVERIFY(server.start(lab(dir)));
    const QString ask =
        "call SyringePumpController.SendCommandString {\"CommandString\": {\"value\": \"?\"}}";
    QStringList got = Client(server.port, certificates_.ca(), {ask});
    QVERIFY2(got.size() == 1 && got[0].contains("/PortUnavailable "), qPrintable(got.join('\n')));
    PumpSimProcess sim;
    QVERIFY2(sim.start(dir.path(), {}), qPrintable(sim.error()));
    got = Client(server.port, certificates_.ca(), {ask});
    QVERIFY2(got.size() == 1 && got[0].contains("Absolute position = 0 Steps"), qPrintable(got.join('\n')));
    // The adapter pulled out, then plugged in again.
    sim.stop();
    got = Client(server.port, certificates_.ca(), {ask});
    QVERIFY2(got.size() == 1 && got[0].contains("/PortUnavailable "), qPrintable(got.join('\n')));
    PumpSimProcess back;
    QVERIFY2(back.start(dir.path(), {}), qPrintable(back.error()));
    got = Client(server.port, certificates_.ca(), {ask});
    QVERIFY2(got.size() == 1 && got[0].contains("Absolute position = 0 Steps"), qPrintable(got.join('\n')));
    QCOMPARE(server.end(), 0);
}

void SilaTest::aBusIsServedWholeAndAPumpFoundLaterJoinsOnHangup() {
    QTemporaryDir dir, later;
    const QString ask =
        "call SyringePumpController.SendCommandString {\"CommandString\": {\"value\": \"?\"}}";
    QString named;
    {
        Server server;
        QVERIFY(server.start(lab(dir)));
        named = server.uuids().value(0);
        QCOMPARE(server.end(), 0);
    }
    PumpSimProcess bus;
    QVERIFY2(bus.start(dir.path(), {"--address", "1,2", "--baud", "9600", "--protocol", "DT", "--address",
                                    "B", "--baud", "38400", "--protocol", "OEM"}),
             qPrintable(bus.error()));
    Server server;
    QStringList options = lab(dir);
    options.removeAt(options.indexOf("--address") + 1);
    options.removeOne("--address");
    options << "--port" << later.filePath("COM1") << "--baud"
            << "9600"
            << "--baud"
            << "38400"
            << "--protocol"
            << "DT"
            << "--protocol"
            << "OEM";
    QVERIFY2(server.start(options, 2), server.out.constData());
    // One port, one setting: pumps 1 and 2 (9600, DT) served, pump B (38400, OEM) told and left.
    QVERIFY2(server.uuids().size() == 2 && server.uuids()[0] == named && !server.out.contains("pump B"),
             server.out.constData());
    QStringList got = Client(server.ports[1], certificates_.ca(), {ask});
    QVERIFY2(got.size() == 1 && got[0].contains("Absolute position = 0 Steps"), qPrintable(got.join('\n')));
    // A pump switched on at a port that had none joins on SIGHUP.
    PumpSimProcess more;
    // There pump 3 (9600, DT) answers before pump 2 (38400, OEM): the port is served at pump 3's.
    QVERIFY2(more.start(later.path(), {"--address", "3", "--baud", "9600", "--protocol", "DT", "--address",
                                       "2", "--baud", "38400", "--protocol", "OEM"}),
             qPrintable(more.error()));
    ::kill(static_cast<pid_t>(server.process.processId()), SIGHUP);
    QVERIFY2(server.waitForPumps(3) && server.out.contains("pump 3 on " + later.filePath("COM1").toUtf8()),
             server.out.constData());
    got = Client(server.ports[2], certificates_.ca(), {ask});
    QVERIFY2(got.size() == 1 && got[0].contains("Absolute position = 0 Steps"), qPrintable(got.join('\n')));
    // Gone again, it stays served and says why it cannot answer.
    more.stop();
    got = Client(server.ports[2], certificates_.ca(), {ask});
    QVERIFY2(got.size() == 1 && got[0].contains("/PortUnavailable "), qPrintable(got.join('\n')));
    QCOMPARE(server.end(), 0);
    const QString told = QString::fromUtf8(server.process.readAllStandardError());
    QVERIFY2(told.contains("cannot open it: no such device") &&
                 told.contains("pump B on " + dir.filePath("COM1") +
                               " answers at 38400 baud, OEM, but the port is served at 9600 baud, DT") &&
                 told.contains("pump 2 on " + later.filePath("COM1") + " answers at 38400 baud, OEM") &&
                 told.count("serve: looking for pumps on ") == 2,
             qPrintable(told));
}

void SilaTest::aCancelledSubscriptionEndsThePoll() {
    QTemporaryDir dir;
    PumpSimProcess sim;
    QVERIFY2(sim.start(dir.path(), {}), qPrintable(sim.error()));
    Server server;
    QVERIFY(server.start(lab(dir)));
    const QStringList got = Client(server.port, certificates_.ca(),
                                   {"stream SyringePumpController.Subscribe_PlungerPosition {} 1", "sleep 1",
                                    "stream SyringePumpController.Subscribe_PumpStatus {} 1"});
    QCOMPARE(got.size(), 2);
    const auto frames = [&] { return sim.transcript().count("rx "); };
    // A gone client is seen within a second, the poll ends with the next cycle.
    QTest::qWait(1500);
    const qsizetype before = frames();
    QTest::qWait(1000);
    QCOMPARE(frames(), before);  // no one subscribes: the pump is not asked
    QVERIFY2(before >= 2 && before <= 14,
             qPrintable(QString::number(before)));  // one poll every 200 ms at most
    QCOMPARE(server.end(), 0);
}

void SilaTest::insecureIsToldAndTermEndsItQuickly() {
    QTemporaryDir dir;
    PumpSimProcess sim;
    QVERIFY2(sim.start(dir.path(), {}), qPrintable(sim.error()));
    Server server;
    QVERIFY(
        server.start({"--port", dir.filePath("COM1"), "--address", "1", "--insecure", "--data", dir.path()}));
    QStringList got =
        Client(server.port, "--insecure", {"call SyringePumpController.Get_FirmwareVersion {}"});
    QCOMPARE(got, QStringList{"ok {\"FirmwareVersion\": {\"value\": \"pumpsim 1.0\"}}"});
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(server.end(), 0);
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(server.process.readAllStandardError().contains("without TLS (--insecure)"));
}

// A pump that does not answer holds an exchange for the 2 s time-out; the end cuts it short.
void SilaTest::termEndsAWaitForAReplyAndClosesTheLine() {
    QTemporaryDir dir;
    PumpSimProcess sim;
    QVERIFY2(sim.start(dir.path(), {"--silent"}), qPrintable(sim.error()));
    Server server;
    QVERIFY(
        server.start({"--port", dir.filePath("COM1"), "--address", "1", "--insecure", "--data", dir.path()}));
    QProcess client;
    client.start("/usr/bin/python3", {ZR_SILA_CLIENT, ZR_SILA_DESCRIPTORS,
                                      "127.0.0.1:" + QString::number(server.port), "--insecure"});
    client.write("call SyringePumpController.Get_FirmwareVersion {}\n");
    client.closeWriteChannel();
    // Until the request is on the line.
    for (int i = 0; i < 100 && !sim.transcript().contains("rx "); ++i) QTest::qWait(50);
    QVERIFY(sim.transcript().contains("rx "));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(server.end(), 0);
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(client.waitForFinished(10000));
    const QByteArray told = client.readAllStandardOutput();
    QVERIFY2(told.startsWith("undefined The server is stopping"), told.constData());
}

// No --cert: a CA and a certificate of the server's own, made once in the data folder, whose
// CA's path the server prints and a client trusts.
void SilaTest::withoutACertificateItsOwnIsMadeAndKept() {
    QTemporaryDir dir;
    PumpSimProcess sim;
    QVERIFY2(sim.start(dir.path(), {}), qPrintable(sim.error()));
    const QStringList options = PumpOneIn(dir);
    const QString ca = SelfSignedCaIn(dir);
    QByteArray pem;
    for (int start = 0; start < 2; ++start) {
        Server server;
        QVERIFY(server.start(options));
        QVERIFY2(server.out.trimmed().endsWith(", CA " + ca.toUtf8()), server.out.constData());
        const QStringList got = Client(server.port, ca, {"call SiLAService.Get_ServerType {}"});
        QCOMPARE(got, QStringList{"ok {\"ServerType\": {\"value\": \"SyringePump\"}}"});
        QFile file(ca);
        QVERIFY(file.open(QIODevice::ReadOnly));
        if (start == 0)
            pem = file.readAll();
        else
            QCOMPARE(file.readAll(), pem);  // a client that trusted it goes on trusting it
        QCOMPARE(QFileInfo(dir.filePath("data/sila-certificates/ca.key")).permissions() &
                     (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
                 QFile::Permissions());
        QCOMPARE(server.end(), 0);
    }
}

ZR_TEST(SilaTest);
#include "test_sila.moc"

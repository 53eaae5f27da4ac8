#include <signal.h>

#include <QDateTime>
#include <QProcess>
#include <QTest>
#include <memory>

#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "live/delay_relay.h"
#include "live/name_server.h"
#include "live/ser2net_process.h"
#include "live/test_certificates.h"
#include "pty_pair.h"

using namespace zr;

namespace {

// A program folder whose COM1 is a one-line file naming a network port, and the port object
// on it.
struct NetworkPort {
    explicit NetworkPort(const QString& name) : port(folder.path()) {
        QFile file(folder.filePath("COM1"));
        if (file.open(QIODevice::WriteOnly)) file.write(name.toUtf8() + "\n");
    }
    QString com1() const { return folder.filePath("COM1"); }
    QTemporaryDir folder;
    QtSerialPort port;
};

// When the certificate's validity ends, as openssl tells it ("notAfter=Dec  6 23:39:50 2026 GMT").
QString EndOf(const QString& certificate) {
    QProcess openssl;
    openssl.start("openssl", {"x509", "-in", certificate, "-noout", "-enddate"});
    openssl.waitForFinished();
    const QString line = QString::fromLatin1(openssl.readAll()).trimmed().section('=', 1).simplified();
    return QDateTime::fromString(line, "MMM d HH:mm:ss yyyy 'GMT'").toString("yyyy-MM-dd HH:mm 'UTC'");
}

// Whether opening the network name looks a host name up: the test's names are localhost and
// names under .invalid (the others are addresses, or fail before the lookup).
bool LooksUp(const QString& name) {
    return name.contains("localhost") || name.contains(".invalid");
}

}  // namespace

// Network ports through the port object, against a real ser2net on loopback with pumps played on
// its pseudo-terminal: openings and their faults, bytes and line settings (those of a device line
// beside them), a server that goes.
class NetworkPortTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY2(certificates.make(), qPrintable(certificates.error()));
        expiry = EndOf(certificates.expired());
        const QStringList accepters{
            "telnet(rfc2217),tcp",
            "tcp",
            "telnet,tcp",
            "telnet(rfc2217)," + certificates.accepter(certificates.server()) + ",tcp",
            certificates.accepter(certificates.server()) + ",tcp",
            "telnet(rfc2217)," + certificates.accepter(certificates.expired()) + ",tcp",
            "telnet(rfc2217)," + certificates.accepter(certificates.otherHost()) + ",tcp",
            "ipv6:telnet(rfc2217),tcp"};
        QStringList devices;
        for (const PtyPair& pty : ptys) devices << QString::fromStdString(pty.slaveName);
        QVERIFY2(server.start(accepters, devices), qPrintable(server.error()));
        far = std::make_unique<DelayRelay>(server.port(0), 30);
    }
    void init() { nameServer.setMode(NameServerMode::NoSuchName); }

    void openingsNameTheServerAndWhatWentWrong_data() {
        test::AddTableRows(QFINDTESTDATA("network_openings.txt"));
    }
    void openingsNameTheServerAndWhatWentWrong() {
        QFETCH(QByteArrayList, row);
        if (LooksUp(row[1]) && !nameServer.error().isEmpty()) QSKIP(qPrintable(nameServer.error()));
        auto network = std::make_unique<NetworkPort>(expand(row[1]));
        if (row[2].startsWith("settings ")) network->port.setSettings(row[2].mid(9).toStdString());
        if (row[2] == "silent name server") nameServer.setMode(NameServerMode::Silent);
        // Another client first: ser2net serves one at a time.
        std::unique_ptr<NetworkPort> other;
        if (row[2] == "busy") {
            other = std::make_unique<NetworkPort>(expand(row[1]));
            other->port.setPortOpen(true);
            QVERIFY2(other->port.portOpen(), other->port.openError().c_str());
            // Served: a byte of its crosses (a raw port's client is connected before ser2net takes it).
            other->port.output("\r");
            QCOMPARE(ptys[accepterOf(row[1])].receive(1), "\r");
        }
        const QString tooltip = QString::fromStdString(network->port.describe(1));
        QString expected = expand(row[3], network->com1());
        QElapsedTimer took;
        took.start();
        network->port.setPortOpen(true);
        // Within the connection's 3 s, a lookup included, and a margin.
        QVERIFY2(took.elapsed() < 6000, qPrintable(QString::number(took.elapsed())));
        // One that opens and is to fail fails once a frame has gone.
        if (network->port.portOpen() && !expected.isEmpty()) {
            network->port.output("/1?\r");
            while (network->port.portOpen() && took.elapsed() < 1000) QThread::msleep(1);
        }
        // "[Cannot open ]": a server that refuses at once may do so before the opening has
        // ended or just after.
        const QString error = QString::fromStdString(network->port.openError());
        if (expected.startsWith("[Cannot open ]"))
            expected.replace(0, 14, error.startsWith("Cannot open ") ? "Cannot open " : "");
        QCOMPARE(error, expected);
        QCOMPARE(network->port.portOpen(), expected.isEmpty());
        if (row[4] != "*") QCOMPARE(tooltip, expand(row[4], network->com1()));
        // Once the other client has gone, or with settings the server's port takes, the port
        // opens through the same server, and a frame crosses.
        if (row[2] == "busy" || row[2].startsWith("settings ")) {
            other.reset();
            network->port.setSettings("9600,n,8,1");
            network->port.setPortOpen(true);
            QVERIFY2(network->port.portOpen(), network->port.openError().c_str());
            PtyPair& pty = ptys[accepterOf(row[1])];
            pty.receive(1 << 16, 50);
            network->port.output("/1?\r");
            QCOMPARE(pty.receive(4), "/1?\r");
        }
        // The port goes at once, whatever its line may still wait for.
        took.restart();
        network.reset();
        QVERIFY2(took.elapsed() < 1000, qPrintable(QString::number(took.elapsed())));
    }

    void bytesCrossUnchangedAndTheBaudRateFollows_data() {
        test::AddTableRows(QFINDTESTDATA("network_lines.txt"));
    }
    void bytesCrossUnchangedAndTheBaudRateFollows() {
        QFETCH(QByteArrayList, row);
        if (LooksUp(row[1]) && !nameServer.error().isEmpty()) QSKIP(qPrintable(nameServer.error()));
        const bool device = row[1] == "{PTY}";
        PtyPair& pty = device ? devicePty : ptys[accepterOf(row[1])];
        std::string all;
        for (int b = 0; b < 256; ++b) all += char(b);
        NetworkPort network(expand(row[1]));
        if (device) LinkPort(network.folder, 1, pty.slaveName);
        pty.receive(1 << 16, 50);       // what earlier tests left on the line
        network.port.output("/1ZR\r");  // a closed port sends nothing
        network.port.setSettings("19200,n,8,1");
        network.port.setPortOpen(true);
        QVERIFY2(network.port.portOpen(), network.port.openError().c_str());
        network.port.output(all + "\r");  // 0xFF, CR and NUL among them: nothing added, nothing lost
        QCOMPARE(pty.receive(257), all + "\r");
        // Read once bytes have crossed: a raw port's server sets its line up as the connection comes.
        QCOMPARE(TerminalLine(pty.slave()), QString::fromLatin1(row[2]));
        pty.send(all);
        QCOMPARE(CountOnceArrived(network.port, 256), 256);
        QCOMPARE(network.port.input(), all);
        QCOMPARE(network.port.inBufferCount(), int16_t(0));
        pty.send(std::string(4000, '\xAA'));  // more than one read of the line takes in
        QCOMPARE(CountOnceArrived(network.port, 4000), 4000);
        network.port.input();
        network.port.setInputLen(2);
        pty.send("abc");
        QCOMPARE(CountOnceArrived(network.port, 3), 3);
        QCOMPARE(network.port.input(), "ab");
        QCOMPARE(network.port.input(), "c");
        network.port.setPortOpen(false);
        QCOMPARE(pty.receive(1, 100), "");
    }

    // ser2net takes a client only once it has closed the device for the last one, some 10 ms
    // after that one left, on any of the device's accepters: an opening right after another
    // client left, which it closes at once, is tried again, and its frame crosses. Left open, the
    // line reads nothing; a server that goes away closes it at once, without an event loop, and
    // nothing reads the dead connection; the server back, the port opens again.
    void aServerThatGoesOrTakesTheNextClientLateLeavesTheLineWorking() {
        PtyPair line;
        Ser2netProcess own;
        const QString device = QString::fromStdString(line.slaveName);
        const QStringList accepters{"telnet(rfc2217),tcp", "tcp"};
        QVERIFY2(own.start(accepters, {device, device}), qPrintable(own.error()));
        const QString address = "127.0.0.1:" + QString::number(own.port(0));
        const QString names[] = {"rfc2217://" + address,
                                 "socket://127.0.0.1:" + QString::number(own.port(1))};
        for (int round = 0; round < 12; ++round) {
            NetworkPort network(names[round % 4 / 2]);
            network.port.setPortOpen(true);
            QVERIFY2(network.port.portOpen(),
                     qPrintable(QString("round %1: ").arg(round) + network.port.openError().c_str()));
            network.port.output("/1?\r");
            QCOMPARE(line.receive(4), "/1?\r");
        }
        NetworkPort network(names[0]);
        network.port.setPortOpen(true);
        network.port.output("/1?\r");  // unanswered: the port stays open
        QCOMPARE(line.receive(4), "/1?\r");
        const auto readsInHalfASecond = [] {
            const qint64 before = ReadCalls();
            QTest::qWait(500);
            return ReadCalls() - before;
        };
        QVERIFY(readsInHalfASecond() < 10);
        own.stop();
        QElapsedTimer took;
        took.start();
        while (network.port.portOpen() && took.elapsed() < 1000) QThread::msleep(1);
        QVERIFY(took.elapsed() < 200);
        QCOMPARE(
            QString::fromStdString(network.port.openError()),
            "Com1 (" + network.com1() + " -> rfc2217://" + address + "): " + address +
                " closed the connection: check that ser2net runs on 127.0.0.1 and that no other client has "
                "the port (ser2net serves one at a time); the next Send connects again");
        QVERIFY(readsInHalfASecond() < 10);
        QVERIFY2(own.start(accepters, {device, device}, own.ports()), qPrintable(own.error()));
        network.port.setPortOpen(true);
        QVERIFY2(network.port.portOpen(), network.port.openError().c_str());
        network.port.output("/1Q\r");
        QCOMPARE(line.receive(4), "/1Q\r");
    }

    // A TLS close waits for the server's answer: one that has stopped answering holds the close
    // up for a second at most. Gensio's word on the close cut short comes once the server answers
    // after all: by then on the thread of a line opened since, which waits in the same os
    // handler, and finds the first line's session still there.
    void aCloseCutShortLeavesTheNextLineWorking() {
        if (!nameServer.error().isEmpty()) QSKIP(qPrintable(nameServer.error()));
        PtyPair line;
        Ser2netProcess own;
        const QString accepter = "telnet(rfc2217)," + certificates.accepter(certificates.server()) + ",tcp";
        QVERIFY2(own.start({accepter}, {QString::fromStdString(line.slaveName)}), qPrintable(own.error()));
        NetworkPort first("rfc2217+tls://localhost:" + QString::number(own.port(0)) +
                          "?ca=" + certificates.ca());
        first.port.setPortOpen(true);
        QVERIFY2(first.port.portOpen(), first.port.openError().c_str());
        ::kill(pid_t(own.processId()), SIGSTOP);
        QElapsedTimer took;
        took.start();
        first.port.setPortOpen(false);
        QVERIFY2(took.elapsed() < 1500, qPrintable(QString::number(took.elapsed())));
        NetworkPort second(expand("rfc2217://127.0.0.1:{RFC}"));
        second.port.setPortOpen(true);
        ::kill(pid_t(own.processId()), SIGCONT);
        QVERIFY2(second.port.portOpen(), second.port.openError().c_str());
        ptys[0].receive(1 << 16, 50);
        for (int frame = 0; frame < 5; ++frame) {
            QTest::qWait(100);
            second.port.output("/1?\r");
            QCOMPARE(ptys[0].receive(4), "/1?\r");
        }
        QVERIFY(second.port.portOpen());
    }

private:
    // The accepter whose port a table's name uses ({FAR}: the relay's, in front of {RFC}).
    int accepterOf(const QByteArray& name) const {
        if (name.contains("{FAR}")) return 0;
        for (int i = 0; i < keys.size(); ++i)
            if (name.contains(keys[i].toLatin1())) return i;
        return -1;
    }

    // A table's text with the ports and files of this run in place of their keys, "@" standing
    // for COM1's path.
    QString expand(const QByteArray& text, const QString& com1 = {}) const {
        QString expanded = QString::fromLatin1(text)
                               .replace("{CLOSED}", QString::number(closed))
                               .replace("{CA}", certificates.ca())
                               .replace("{OTHERCA}", certificates.otherCa())
                               .replace("{EXPIRY}", expiry)
                               .replace("{FAR}", QString::number(far->port()))
                               .replace("@", com1);
        for (int i = 0; i < keys.size(); ++i) expanded.replace(keys[i], QString::number(server.port(i)));
        return expanded;
    }

    // Every name this test and the servers it starts look up is asked of it: made first.
    TestNameServer nameServer;
    const QStringList keys{"{RFC}",    "{RAW}",     "{TELNET}", "{TLS}",
                           "{RAWTLS}", "{EXPIRED}", "{BENCH9}", "{V6}"};
    PtyPair ptys[8];    // one for each accepter: ser2net serves a device to one of them at a time
    PtyPair devicePty;  // the device line's
    const int closed = FreeLoopbackPort();
    QString expiry;
    TestCertificates certificates;
    Ser2netProcess server;
    std::unique_ptr<DelayRelay> far;  // a far server: {RFC} with a round trip of 60 ms
};

ZR_TEST(NetworkPortTest);
#include "test_network_port.moc"

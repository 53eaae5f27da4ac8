#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "fakes/test_registry.h"
#include "frame_parser.h"
#include "hex.h"

using namespace pumpsim;

namespace {

// A running pumpsim and a client on its slave device.
class Sim {
public:
    explicit Sim(const QStringList& args) {
        process_.start(qEnvironmentVariable("ZR_PUMPSIM"), args);
        if (!process_.waitForStarted(5000)) return;
        const QString first = ReadLine();
        if (!first.startsWith("pumpsim: listening on ")) return;
        device_ = first.mid(int(std::strlen("pumpsim: listening on ")));
        fd_ = ::open(device_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    }
    ~Sim() {
        if (fd_ >= 0) ::close(fd_);
        process_.terminate();
        process_.waitForFinished(5000);
    }
    bool ok() const { return fd_ >= 0; }
    QProcess& process() { return process_; }
    const QString& device() const { return device_; }

    QString ReadLine(int ms = 5000) {
        if (!process_.canReadLine()) process_.waitForReadyRead(ms);
        while (!process_.canReadLine() && process_.waitForReadyRead(ms)) {
        }
        return QString::fromLatin1(process_.readLine()).trimmed();
    }
    void Write(const std::string& bytes) {
        QCOMPARE(::write(fd_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // Everything that arrives until the line has been quiet for quietMs.
    std::string Read(int quietMs = 300) {
        std::string got;
        pollfd p{fd_, POLLIN, 0};
        while (::poll(&p, 1, quietMs) > 0) {
            char buffer[256];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0) break;
            got.append(buffer, std::size_t(n));
        }
        return got;
    }
    void Reopen() {
        ::close(fd_);
        fd_ = ::open(device_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    }

private:
    QProcess process_;
    QString device_;
    int fd_ = -1;
};

std::string Oem(char address, const std::string& command) {
    std::string f = std::string("\xFF\x02") + address + "1" + command + "\x03";
    return f + static_cast<char>(XorOf(std::string_view(f).substr(1)));
}

QString Hex(const std::string& bytes) {
    return QString::fromStdString(HexBytes(bytes));
}

}  // namespace

class LineTest : public QObject {
    Q_OBJECT
private slots:
    void bothFramingsAreAnsweredAndLogged() {
        Sim sim({"--address", "1,A"});
        QVERIFY(sim.ok());
        sim.Write("/1?\r");
        QCOMPARE(Hex(sim.Read()), "2F 30 60 30 03 0D 0A FF");
        QCOMPARE(sim.ReadLine(), "rx 2F 31 3F 0D");
        QCOMPARE(sim.ReadLine(), "tx 2F 30 60 30 03 0D 0A FF");
        sim.Write(Oem(':', "?8"));  // pump "A"
        QCOMPARE(Hex(sim.Read()), "FF 02 30 60 31 03 60 FF");
        sim.Write("/_W4R\r");  // group: no reply
        sim.Write("/2?\r");    // not served
        sim.Write("\x01garbage\x03/1");
        sim.Write("?\r");
        QCOMPARE(Hex(sim.Read()), "2F 30 40 30 03 0D 0A FF");  // busy: the group initialised it
        sim.ReadLine();
        sim.ReadLine();
        QCOMPARE(sim.ReadLine(), "rx 2F 5F 57 34 52 0D");
        QCOMPARE(sim.ReadLine(), "rx 2F 32 3F 0D");
        QCOMPARE(sim.ReadLine(), "rx 2F 31 3F 0D");
    }

    void aClientMayCloseAndReopenTheLine() {
        Sim sim({});
        QVERIFY(sim.ok());
        for (int round = 0; round < 3; ++round) {
            sim.Write("/1Q\r");
            QCOMPARE(Hex(sim.Read()), "2F 30 60 03 0D 0A FF");
            sim.Reopen();
        }
        QCOMPARE(sim.process().state(), QProcess::Running);
    }

    void silentLogsRequestsButNeverAnswers() {
        Sim sim({"--silent"});
        QVERIFY(sim.ok());
        sim.Write("/1?\r");
        QCOMPARE(sim.ReadLine(), "rx 2F 31 3F 0D");
        QCOMPARE(sim.Read(500), std::string());
    }

    void lateAndDribbledRepliesTakeTheirTime() {
        {
            Sim sim({"--late", "400"});
            QVERIFY(sim.ok());
            QElapsedTimer t;
            t.start();
            sim.Write("/1?\r");
            QCOMPARE(sim.Read(250), std::string());  // nothing within the first 250 ms
            QCOMPARE(Hex(sim.Read()), "2F 30 60 30 03 0D 0A FF");
            QVERIFY(t.elapsed() >= 400);
        }
        {
            Sim sim({"--dribble", "50"});
            QVERIFY(sim.ok());
            QElapsedTimer t;
            t.start();
            sim.Write("/1?\r");
            QCOMPARE(Hex(sim.Read(200)), "2F 30 60 30 03 0D 0A FF");
            QVERIFY(t.elapsed() >= 7 * 50);  // eight bytes, seven gaps
        }
    }

    void badChecksumCorruptsEveryOemReply() {
        Sim sim({"--bad-checksum"});
        QVERIFY(sim.ok());
        sim.Write(Oem('1', "?"));
        QCOMPARE(Hex(sim.Read()), "FF 02 30 60 30 03 9E FF");  // 0x61 with every bit flipped
        sim.Write("/1?\r");
        QCOMPARE(Hex(sim.Read()), "2F 30 60 30 03 0D 0A FF");  // DT has no checksum to spoil
    }

    void terminationRemovesTheLink() {
        QTemporaryDir dir;
        const QString link = dir.filePath("COM1");
        Sim sim({"--link", link});
        QVERIFY(sim.ok());
        QCOMPARE(sim.ReadLine(), "pumpsim: linked as " + link);
        QCOMPARE(QFileInfo(link).symLinkTarget(), sim.device());
        sim.process().terminate();
        QVERIFY(sim.process().waitForFinished(3000));
        QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.process().exitCode(), 0);
        QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
    }

    void badOptionsAreRefused_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("unknown option") << QStringList{"--fast"};
        QTest::newRow("address letter beyond F") << QStringList{"--address", "1,G"};
        QTest::newRow("empty address entry") << QStringList{"--address", "1,,2"};
        QTest::newRow("negative delay") << QStringList{"--late", "-5"};
        QTest::newRow("missing value") << QStringList{"--dribble"};
        QTest::newRow("valve without such ports") << QStringList{"--ports", "7"};
    }

    void badOptionsAreRefused() {
        QFETCH(QStringList, args);
        QProcess p;
        p.start(qEnvironmentVariable("ZR_PUMPSIM"), args);
        QVERIFY(p.waitForFinished(3000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(p.readAllStandardError().contains("usage: pumpsim"));
        QVERIFY(p.readAllStandardOutput().isEmpty());
    }
};

ZR_TEST(LineTest);
#include "test_line.moc"

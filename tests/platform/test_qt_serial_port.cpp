#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QThread>
#include <QtTest>

#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "platform/qt_serial_port.h"
#include "pty_pair.h"

using namespace zr;

namespace {

std::string AllByteValues() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    return bytes;
}

// A port on COM1 of a fresh program folder, linked to the slave side of `pty`.
struct LinkedPort {
    explicit LinkedPort(const PtyPair& pty, int number = 1) : port(folder.path()) {
        LinkPort(folder.path().toStdString(), number, pty.slaveName());
        port.setCommPort(static_cast<int16_t>(number));
        port.setSettings("9600,n,8,1");
    }
    std::string shown(int number = 1) const {
        return folder.path().toStdString() + "/COM" + std::to_string(number);
    }
    QTemporaryDir folder;
    QtSerialPort port;
};

// Polls the count (never the event loop) until it reaches `expected` or two seconds pass.
int CountOnceArrived(QtSerialPort& port, int expected) {
    QElapsedTimer waited;
    waited.start();
    int count = port.inBufferCount();
    while (count < expected && waited.elapsed() < 2000) {
        QThread::msleep(5);
        count = port.inBufferCount();
    }
    return count;
}

}  // namespace

class QtSerialPortTest : public QObject {
    Q_OBJECT
private slots:
    void bytesCrossTheLineUnchangedBothWays_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("text frame") << QByteArray("/1ZR\r");
        QTest::newRow("binary frame with nul and high bytes")
            << QByteArray("\xFF\x02\x00\x31\x80\x03\xFE", 7);
        QTest::newRow("every byte value") << QByteArray::fromStdString(AllByteValues());
        QTest::newRow("line ends untranslated") << QByteArray("\r\n\n\r\x11\x13\x7F\x04", 8);
    }

    void bytesCrossTheLineUnchangedBothWays() {
        QFETCH(QByteArray, bytes);
        const std::string sent = bytes.toStdString();
        PtyPair pty;
        LinkedPort linked(pty);
        linked.port.setPortOpen(true);
        QVERIFY2(linked.port.portOpen(), linked.port.openError().c_str());

        linked.port.output(sent);
        QCOMPARE(pty.receive(sent.size()), sent);

        pty.send(sent);
        QCOMPARE(CountOnceArrived(linked.port, int(sent.size())), int(sent.size()));
        QCOMPARE(linked.port.input(), sent);
        QCOMPARE(linked.port.inBufferCount(), int16_t(0));
    }

    void arrivingBytesAreCountedAsTheyComeWithoutAnEventLoop() {
        PtyPair pty;
        LinkedPort linked(pty);
        linked.port.setPortOpen(true);
        QVERIFY(linked.port.portOpen());
        QCOMPARE(linked.port.inBufferCount(), int16_t(0));

        pty.send("`12");
        QCOMPARE(CountOnceArrived(linked.port, 3), 3);
        pty.send("34\x03\r\n");
        QCOMPARE(CountOnceArrived(linked.port, 8), 8);
        QCOMPARE(linked.port.input(), std::string("`1234\x03\r\n"));

        const std::string big(40000, '\xAA');
        pty.send(big.substr(0, 4000));
        QCOMPARE(CountOnceArrived(linked.port, 4000), 4000);
        linked.port.input();

        linked.port.setInputLen(2);
        pty.send("abc");
        QCOMPARE(CountOnceArrived(linked.port, 3), 3);
        QCOMPARE(linked.port.input(), std::string("ab"));
        QCOMPARE(linked.port.input(), std::string("c"));
    }

    void lineSettingsReachTheDevice_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("speed");
        QTest::addColumn<bool>("twoStopBits");
        QTest::newRow("9600,n,8,1") << "9600,n,8,1" << int(B9600) << false;
        QTest::newRow("38400,n,8,1") << "38400,n,8,1" << int(B38400) << false;
        QTest::newRow("1200,n,8,2") << "1200,n,8,2" << int(B1200) << true;
    }
    void lineSettingsReachTheDevice() {
        QFETCH(QString, settings);
        QFETCH(int, speed);
        QFETCH(bool, twoStopBits);
        PtyPair pty;
        LinkedPort linked(pty);
        linked.port.setHandshaking(0);
        linked.port.setDTREnable(false);
        linked.port.setRTSEnable(false);
        linked.port.setInputLen(0);
        linked.port.setInputMode(0);
        linked.port.setSThreshold(0);
        linked.port.setSettings(settings.toStdString());
        linked.port.setPortOpen(true);
        QVERIFY2(linked.port.portOpen(), linked.port.openError().c_str());

        termios line{};
        QCOMPARE(::tcgetattr(pty.slave(), &line), 0);
        QCOMPARE(int(cfgetospeed(&line)), speed);
        QCOMPARE(line.c_cflag & (CSIZE | PARENB), tcflag_t(CS8));
        QCOMPARE((line.c_cflag & CSTOPB) != 0, twoStopBits);
        QCOMPARE(line.c_cflag & CRTSCTS, tcflag_t(0));
        QCOMPARE(line.c_iflag & (IXON | IXOFF), tcflag_t(0));
    }

    void openingFailuresNameThePortTheDeviceAndTheReason_data() {
        test::AddTableRows(QFINDTESTDATA("open_failures.txt"));
    }
    void openingFailuresNameThePortTheDeviceAndTheReason() {
        QFETCH(QByteArrayList, row);
        const int number = row[1].toInt();
        const QString link = QString::fromLatin1(row[3]), settings = QString::fromLatin1(row[2]);
        QString error = QString::fromLatin1(row[4]);
        QTemporaryDir folder;
        const QString path = folder.path() + QStringLiteral("/COM%1").arg(number);
        if (link == "plain") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (!link.isEmpty()) {
            LinkPort(folder.path().toStdString(), number, link.toStdString());
        }
        QtSerialPort port(folder.path());
        port.setCommPort(static_cast<int16_t>(number));
        port.setSettings(settings.toStdString());
        port.setPortOpen(true);
        QVERIFY(!port.portOpen());
        QCOMPARE(QString::fromStdString(port.openError()), error.replace("@", path));
        QCOMPARE(port.inBufferCount(), int16_t(0));
        QCOMPARE(port.input(), std::string());
    }

    void aSecondOpenerOfTheSameDeviceIsToldItIsBusy() {
        PtyPair pty;
        LinkedPort first(pty);
        first.port.setPortOpen(true);
        QVERIFY(first.port.portOpen());

        QtSerialPort sameLink(first.folder.path());
        sameLink.setCommPort(1);
        sameLink.setPortOpen(true);
        QVERIFY(!sameLink.portOpen());
        QCOMPARE(sameLink.openError(), "Cannot open Com1 (" + first.shown() + " -> " + pty.slaveName() +
                                           "): busy, in use by another program");

        LinkedPort otherName(pty, 2);
        otherName.port.setPortOpen(true);
        QVERIFY2(!otherName.port.portOpen(), "a second link to the same device must not get around the lock");

        first.port.setPortOpen(false);
        sameLink.setPortOpen(true);
        QVERIFY2(sameLink.portOpen(), sameLink.openError().c_str());
        QCOMPARE(sameLink.openError(), std::string());
    }

    // Root opens any device whatever its mode, so as root the opening is tried as "nobody".
    void aDeviceWithoutAccessRightsIsReportedAsPermissionDenied() {
        PtyPair pty;
        LinkedPort linked(pty);
        QVERIFY(QFile::setPermissions(
            linked.folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                      QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
        QCOMPARE(::chmod(pty.slaveName().c_str(), 0), 0);
        const bool asRoot = ::geteuid() == 0;
        if (asRoot) QCOMPARE(::seteuid(65534), 0);
        linked.port.setPortOpen(true);
        if (asRoot) QCOMPARE(::seteuid(0), 0);
        QVERIFY(!linked.port.portOpen());
        QCOMPARE(QString::fromStdString(linked.port.openError()),
                 QString::fromStdString("Cannot open Com1 (" + linked.shown() + " -> " + pty.slaveName() +
                                        "): permission denied"));
    }

    void aVanishedDeviceReadsAsClosedAndCanBeOpenedAfresh() {
        auto pty = std::make_unique<PtyPair>();
        LinkedPort linked(*pty);
        linked.port.setPortOpen(true);
        QVERIFY(linked.port.portOpen());
        pty->send("`0\x03");
        QCOMPARE(CountOnceArrived(linked.port, 3), 3);

        pty->hangUp();
        QVERIFY(!linked.port.portOpen());
        QElapsedTimer took;
        took.start();
        linked.port.output("/1?\r");
        QVERIFY(took.elapsed() < 1000);
        QCOMPARE(linked.port.input(), std::string("`0\x03"));
        QCOMPARE(linked.port.inBufferCount(), int16_t(0));
        QCOMPARE(linked.port.input(), std::string());

        pty = std::make_unique<PtyPair>();
        LinkPort(linked.folder.path().toStdString(), 1, pty->slaveName());
        linked.port.setPortOpen(true);
        QVERIFY2(linked.port.portOpen(), linked.port.openError().c_str());
        linked.port.output("/1?\r");
        QCOMPARE(pty->receive(4), std::string("/1?\r"));

        pty->hangUp();
        linked.port.setPortOpen(false);
        QVERIFY(!linked.port.portOpen());
    }

    void aClosedPortSendsAndReadsNothing() {
        PtyPair pty;
        LinkedPort linked(pty);
        linked.port.output("/1ZR\r");
        QCOMPARE(pty.receive(1, 0.1), std::string());

        linked.port.setPortOpen(true);
        pty.send("late");
        QCOMPARE(CountOnceArrived(linked.port, 4), 4);
        linked.port.setPortOpen(false);
        QVERIFY(!linked.port.portOpen());
        QCOMPARE(linked.port.inBufferCount(), int16_t(0));
        QCOMPARE(linked.port.input(), std::string());
    }
};

ZR_TEST(QtSerialPortTest);
#include "test_qt_serial_port.moc"

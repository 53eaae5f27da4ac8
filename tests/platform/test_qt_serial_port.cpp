#include <sys/stat.h>
#include <termios.h>

#include <QThread>
#include <QtTest>
#include <memory>

#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "platform/line_settings.h"
#include "platform/port_device.h"
#include "pty_pair.h"

using namespace zr;

namespace {

// Polls the count (never the event loop) until it reaches `expected` or two seconds pass.
int CountOnceArrived(QtSerialPort& port, int expected) {
    QElapsedTimer waited;
    waited.start();
    while (port.inBufferCount() < expected && waited.elapsed() < 2000) QThread::msleep(5);
    return port.inBufferCount();
}

// The baud rate and stop bits the device's line has (a pseudo-terminal always keeps 8 data bits
// and no parity), with " flow control" when any is on.
QString DeviceLine(int fd) {
    termios line{};
    if (::tcgetattr(fd, &line) != 0) return "unreadable";
    const std::pair<int, speed_t> speeds[] = {{1200, B1200}, {2400, B2400},   {4800, B4800},
                                              {9600, B9600}, {19200, B19200}, {38400, B38400}};
    int baud = 0;
    for (auto [rate, speed] : speeds)
        if (cfgetospeed(&line) == speed) baud = rate;
    const bool flow = (line.c_cflag & CRTSCTS) || (line.c_iflag & (IXON | IXOFF));
    return QString("%1 %2%3").arg(baud).arg(line.c_cflag & CSTOPB ? 2 : 1).arg(flow ? " flow control" : "");
}

}  // namespace

// The adapter over QSerialPort against pseudo-terminals: opening, line settings, traffic
// without an event loop, a device that goes away.
class QtSerialPortTest : public QObject {
    Q_OBJECT
private slots:
    void openingsNameThePortTheDeviceAndTheReason_data() {
        test::AddTableRows(QFINDTESTDATA("openings.txt"));
    }
    void openingsNameThePortTheDeviceAndTheReason() {
        QFETCH(QByteArrayList, row);
        const int number = row[1].toInt();
        const QByteArray& com = row[2];
        PtyPair pty;
        QTemporaryDir folder;
        const QString path = folder.filePath(QString("COM%1").arg(number));
        if (com == "plain")
            QFile(path).open(QIODevice::WriteOnly);
        else if (!com.isEmpty())
            LinkPort(folder, number, com.endsWith("pty") ? pty.slaveName : com.toStdString());
        QSerialPort other(QString::fromStdString(pty.slaveName));
        if (com == "busy pty") QVERIFY(other.open(QIODevice::ReadWrite));
        // Root opens any device whatever its mode, so as root the opening is tried as "nobody".
        const bool asNobody = com == "locked pty" && ::geteuid() == 0;
        if (com == "locked pty")
            QVERIFY(::chmod(path.toLocal8Bit(), 0) == 0 && ::chmod(folder.path().toLocal8Bit(), 0755) == 0);
        QtSerialPort port(folder.path());
        port.setCommPort(int16_t(number));
        if (asNobody) QCOMPARE(::seteuid(65534), 0);
        port.setPortOpen(true);
        if (asNobody) QCOMPARE(::seteuid(0), 0);
        QCOMPARE(port.portOpen(), row[3].isEmpty());
        QCOMPARE(QString::fromStdString(port.openError()),
                 QString::fromLatin1(row[3]).replace("@", path).replace("PTY", pty.slaveName.c_str()));
    }

    void withoutALinkPortsAreTheBuiltInLines() {
        QCOMPARE(ComPortDevice(1, "/nonexistent").path, "/dev/ttyS0");
        QCOMPARE(ComPortDevice(4, "/nonexistent").shown, "/dev/ttyS3");
    }

    void settingsTextsAreReadOrRefused_data() { test::AddTableRows(QFINDTESTDATA("line_settings.txt")); }
    void settingsTextsAreReadOrRefused() {
        QFETCH(QByteArrayList, row);
        const auto line = ParseLineSettings(row[1].toStdString());
        QString read = "refused";
        const char* stops[] = {"?", "1", "2", "1.5"};
        if (line) {
            const char* parities[] = {"none", "?", "even", "odd", "space", "mark"};
            read = QString::asprintf("%d %s %d %s", int(line->baud), parities[line->parity],
                                     int(line->dataBits), stops[line->stopBits]);
        }
        QCOMPARE(read, QString::fromLatin1(row[2]));
        if (line && !read.contains(" none 8 ")) return;
        PtyPair pty;
        LinkedPort linked(pty);
        linked.port.setSettings(row[1].toStdString());
        linked.port.setPortOpen(true);
        const QString refusal = "Cannot open Com1 (" + linked.folder.filePath("COM1") + " -> " +
                                pty.slaveName.c_str() + "): line settings \"" + row[1] + "\" not understood";
        QCOMPARE(linked.port.portOpen() ? DeviceLine(pty.slave())
                                        : QString::fromStdString(linked.port.openError()),
                 line ? QString("%1 %2").arg(line->baud).arg(stops[line->stopBits]) : refusal);
    }

    void everyByteCrossesUnchangedAndIsCountedAsItComes() {
        std::string all;
        for (int b = 0; b < 256; ++b) all += char(b);
        PtyPair pty;
        LinkedPort linked(pty);
        linked.port.output("/1ZR\r");  // a closed port sends nothing
        linked.port.setPortOpen(true);
        QVERIFY2(linked.port.portOpen(), linked.port.openError().c_str());
        linked.port.output(all);
        QCOMPARE(pty.receive(all.size()), all);
        pty.send(all);
        QCOMPARE(CountOnceArrived(linked.port, 256), 256);
        QCOMPARE(linked.port.input(), all);
        QCOMPARE(linked.port.inBufferCount(), int16_t(0));
        pty.send(std::string(4000, '\xAA'));  // more than one read of the device takes in
        QCOMPARE(CountOnceArrived(linked.port, 4000), 4000);
        linked.port.input();
        linked.port.setInputLen(2);
        pty.send("abc");
        QCOMPARE(CountOnceArrived(linked.port, 3), 3);
        QCOMPARE(linked.port.input(), "ab");
        QCOMPARE(linked.port.input(), "c");
    }

    void aVanishedDeviceReadsAsClosedAndCanBeOpenedAfresh() {
        auto pty = std::make_unique<PtyPair>();
        LinkedPort linked(*pty);
        linked.port.setPortOpen(true);
        pty->send("`0\x03");
        QCOMPARE(CountOnceArrived(linked.port, 3), 3);
        pty->hangUp();
        QVERIFY(!linked.port.portOpen());
        QElapsedTimer took;
        took.start();
        linked.port.output("/1?\r");
        QVERIFY(took.elapsed() < 1000);
        QCOMPARE(linked.port.input(), "`0\x03");  // what it delivered stays readable
        QCOMPARE(linked.port.inBufferCount(), int16_t(0));
        pty = std::make_unique<PtyPair>();
        LinkPort(linked.folder, 1, pty->slaveName);
        linked.port.setPortOpen(true);
        QVERIFY2(linked.port.portOpen(), linked.port.openError().c_str());
        linked.port.output("/1?\r");
        QCOMPARE(pty->receive(4), "/1?\r");
        pty->send("late");
        QCOMPARE(CountOnceArrived(linked.port, 4), 4);
        linked.port.setPortOpen(false);  // closing drops what came
        QCOMPARE(linked.port.inBufferCount(), int16_t(0));
        QCOMPARE(linked.port.input(), "");
    }
};

ZR_TEST(QtSerialPortTest);
#include "test_qt_serial_port.moc"

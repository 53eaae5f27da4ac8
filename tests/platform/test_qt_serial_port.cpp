#include <sys/stat.h>

#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "platform/line/line_settings.h"
#include "platform/serial/port_device.h"
#include "pty_pair.h"

using namespace zr;

namespace {

// Ports as a system might list them: "USB0=usb-FTDI_X#A10K S0 S1?" (see com_mapping.txt); a
// port's ">X" makes its device `terminal`(X) (com_changes.txt).
std::vector<SerialPortEntry> FakePorts(const QByteArray& list,
                                       const std::function<std::string(char)>& terminal = {}) {
    std::vector<SerialPortEntry> ports;
    for (QByteArray token : list.split(' ')) {
        if (token.isEmpty()) continue;
        SerialPortEntry port;
        const qsizetype arrow = token.indexOf('>');
        const char to = arrow < 0 ? 0 : token.at(arrow + 1);
        if (arrow >= 0) token.truncate(arrow);
        port.uartKnown = !token.endsWith('?');
        if (!port.uartKnown) token.chop(1);
        const QByteArrayList parts = token.split('=');
        port.device = to ? terminal(to) : "/dev/tty" + parts[0].toStdString();
        port.adapter = !parts[0].startsWith('S');
        if (port.adapter) port.description = "FT232R USB UART", port.manufacturer = "FTDI";
        if (parts.size() > 1) {
            const QByteArrayList named = parts[1].split('#');
            port.byId = "/dev/serial/by-id/" + named[0].toStdString();
            if (named.size() > 1) port.serialNumber = named[1].toStdString();
        }
        ports.push_back(port);
    }
    return ports;
}

// Another process that has the terminal open ("held pty"), or that its lock file names
// ("lock-file pty"), while this lives.
struct OtherProcess {
    OtherProcess(const QByteArray& kind, const std::string& device) {
        if (kind != "held pty" && kind != "lock-file pty") return;
        if (kind == "held pty") process.setStandardInputFile(QString::fromStdString(device));
        process.start("sleep", {"30"});
        process.waitForStarted();
        if (kind == "lock-file pty") {
            lockFile.setFileName("/run/lock/LCK.." + QString::fromStdString(device).mid(5).replace('/', '_'));
            if (lockFile.open(QIODevice::WriteOnly))
                lockFile.write(QByteArray::number(process.processId()).rightJustified(10) + "\n");
            lockFile.close();
        }
    }
    ~OtherProcess() {
        if (!lockFile.fileName().isEmpty()) lockFile.remove();
        process.kill();
        process.waitForFinished();
    }
    QProcess process;
    QFile lockFile;
};

}  // namespace

// The adapter over QSerialPort against pseudo-terminals: opening, line settings, a device that
// goes away (the bytes a device line carries are test_network_port's, beside a network line's).
class QtSerialPortTest : public QObject {
    Q_OBJECT
private slots:
    void openingsAndTooltipsNameThePortTheDeviceAndTheState_data() {
        test::AddTableRows(QFINDTESTDATA("openings.txt"));
    }
    void openingsAndTooltipsNameThePortTheDeviceAndTheState() {
        QFETCH(QByteArrayList, row);
        const int number = row[1].toInt();
        const QByteArray& com = row[2];
        PtyPair pty;
        pty.releaseSlave();
        QTemporaryDir folder;
        const QString path = folder.filePath(QString("COM%1").arg(number));
        QFile(folder.filePath("notes.txt")).open(QIODevice::WriteOnly);
        if (com == "plain")
            QFile(path).open(QIODevice::WriteOnly);
        else if (com == "folder")
            QDir(folder.path()).mkdir(path);
        else if (com == "file link")
            LinkPort(folder, number, folder.filePath("notes.txt").toStdString());
        else if (com == "stray")
            LinkPort(folder, number, "stray-terminal");
        else if (!com.isEmpty())
            LinkPort(folder, number, com.endsWith("pty") ? pty.slaveName : com.toStdString());
        QTemporaryDir working;
        const QString wasWorking = QDir::currentPath();
        if (com == "stray") {
            QVERIFY(QFile::link(QString::fromStdString(pty.slaveName), working.filePath("stray-terminal")));
            QVERIFY(QDir::setCurrent(working.path()));
        }
        const auto backHome = qScopeGuard([&] { QDir::setCurrent(wasWorking); });
        QSerialPort other(QString::fromStdString(pty.slaveName));
        if (com == "busy pty") QVERIFY(other.open(QIODevice::ReadWrite));
        OtherProcess holder(com, pty.slaveName);
        // Root opens any device whatever its mode, so as root the opening is tried as "nobody".
        const bool asNobody = com == "locked pty" && ::geteuid() == 0;
        if (com == "locked pty")
            QVERIFY(::chmod(path.toLocal8Bit(), 0) == 0 && ::chmod(folder.path().toLocal8Bit(), 0755) == 0);
        QtSerialPort port(folder.path(), [] { return std::vector<SerialPortEntry>(); });
        port.setCommPort(int16_t(number));
        if (asNobody) QCOMPARE(::seteuid(65534), 0);
        const QString tooltip = QString::fromStdString(port.describe(int16_t(number)));
        if (row[3] != "*") port.setPortOpen(true);
        if (asNobody) QCOMPARE(::seteuid(0), 0);
        const auto expand = [&](const QByteArray& text) {
            return QString::fromLatin1(text)
                .replace("@", path)
                .replace("FOLDER", folder.path())
                .replace("PTY", pty.slaveName.c_str())
                .replace("SELF",
                         QString("test_serial_port (process %1)").arg(QCoreApplication::applicationPid()))
                .replace("OTHER", QString("sleep (process %1)").arg(holder.process.processId()));
        };
        if (row[3] != "*") {
            QCOMPARE(port.portOpen(), row[3].isEmpty());
            QCOMPARE(QString::fromStdString(port.openError()), expand(row[3]));
        }
        if (number >= 1 && number <= 4) QCOMPARE(tooltip, expand(row[4]));
    }

    void comPortsAreLinksOrTheListedPortsInTheirOrder_data() {
        test::AddTableRows(QFINDTESTDATA("com_mapping.txt"));
    }
    void comPortsAreLinksOrTheListedPortsInTheirOrder() {
        QFETCH(QByteArrayList, row);
        PtyPair pty;
        pty.releaseSlave();
        QTemporaryDir folder;
        for (const QByteArray& com : row[2].split(' '))
            if (!com.isEmpty()) LinkPort(folder, com.mid(3).toInt(), pty.slaveName);
        int listings = 0;
        QtSerialPort port(folder.path(), [&] {
            ++listings;
            return FakePorts(row[1]);
        });
        const auto expand = [&](const QByteArray& text) {
            return QString::fromLatin1(text)
                .replace("@", folder.path())
                .replace("PTY", pty.slaveName.c_str());
        };
        QStringList shown{QString::fromStdString(port.deviceOf(1))};
        QCOMPARE(listings, row[2].contains("COM1") ? 0 : 1);  // a link costs no listing
        for (int16_t n = 2; n <= 4; ++n) shown << QString::fromStdString(port.deviceOf(n));
        QCOMPARE(shown.join(" / ").simplified(), expand(row[3]));
        QString box;
        if (const int nothing = int(shown.indexOf("")) + 1; nothing > 0) {
            port.setCommPort(int16_t(nothing));
            port.setPortOpen(true);
            QVERIFY(!port.portOpen());
            box = QString::fromStdString(port.openError());
        }
        QCOMPARE(box, expand(row[4]));
        QCOMPARE(QString::fromStdString(port.describe(1)), expand(row[5]));
        QVERIFY(listings <= 1);  // one listing serves while no device comes or goes
    }

    void aPortGoesToAnotherDeviceOnlyOnceTold_data() { test::AddTableRows(QFINDTESTDATA("com_changes.txt")); }
    void aPortGoesToAnotherDeviceOnlyOnceTold() {
        QFETCH(QByteArrayList, row);
        std::map<char, PtyPair> ptys;
        for (char name : {'A', 'B', 'C'}) ptys[name].releaseSlave();
        QTemporaryDir folder;
        QByteArray listed = row[1];
        int stamp = 0;
        QtSerialPort port(
            folder.path(), [&] { return FakePorts(listed, [&](char name) { return ptys[name].slaveName; }); },
            [&] { return std::optional<std::int64_t>(stamp); });
        QStringList outcomes;
        for (QByteArray step : row[2].split(';')) {
            step = step.trimmed();
            if (step.startsWith("link ")) LinkPort(folder, 1, ptys[step.at(5)].slaveName);
            if (step == "unlink") QFile::remove(folder.filePath("COM1"));
            if (step.startsWith("ports ")) listed = step.mid(6), ++stamp;
            if (step == "choose") port.choosePort(1);
            if (step != "send") continue;
            port.setPortOpen(true);
            if (port.portOpen()) port.output("/1?\r");
            QString outcome = QString::fromStdString(port.openError());
            for (auto& [name, pty] : ptys)
                if (pty.receive(4, 10) == "/1?\r") outcome.prepend(name);
            outcome.replace(folder.path(), "@");
            for (auto& [name, pty] : ptys)
                outcome.replace(QString::fromStdString(pty.slaveName), QString("%") + name);
            outcomes << outcome;
        }
        QCOMPARE(outcomes.join(" / "), QString::fromLatin1(row[3]));
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
        QCOMPARE(linked.port.portOpen() ? TerminalLine(pty.slave())
                                        : QString::fromStdString(linked.port.openError()),
                 line ? QString("%1 %2").arg(line->baud).arg(stops[line->stopBits]) : refusal);
    }

    // A port left open is reused as it is while its link leads to the same device; the device
    // gone, the port is closed and nothing polls it; a new device linked is reached once told,
    // with the settings given meanwhile.
    void aVanishedDeviceIsClosedAndNothingPollsIt() {
        auto pty = std::make_unique<PtyPair>();
        LinkedPort linked(*pty);
        linked.port.setPortOpen(true);
        linked.port.output("/1?\r");  // unanswered: the port stays open
        QCOMPARE(pty->receive(4), "/1?\r");
        linked.port.setSettings("19200,n,8,1");
        linked.port.setPortOpen(true);  // reused as it is: no new baud rate
        QCOMPARE(TerminalLine(pty->slave()), "9600 1");
        pty->send("`0\x03");
        QCOMPARE(CountOnceArrived(linked.port, 3), 3);
        pty->hangUp();
        QVERIFY(!linked.port.portOpen());
        QElapsedTimer took;
        took.start();
        linked.port.output("/1?\r");
        QVERIFY(took.elapsed() < 1000);
        QCOMPARE(linked.port.input(), "`0\x03");  // what it delivered stays readable until events run
        // One second of event loop: the port is closed, not read again and again.
        const qint64 readsBefore = ReadCalls();
        QEventLoop loop;
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
        const qint64 reads = ReadCalls() - readsBefore;
        QVERIFY2(reads < 100, qPrintable(QString("%1 reads in one second").arg(reads)));
        QCOMPARE(linked.port.inBufferCount(), int16_t(0));
        // A new device linked as COM1 is what the next opening reaches, once told.
        pty = std::make_unique<PtyPair>();
        LinkPort(linked.folder, 1, pty->slaveName);
        linked.port.setPortOpen(true);
        linked.port.setPortOpen(true);
        QVERIFY2(linked.port.portOpen(), linked.port.openError().c_str());
        QCOMPARE(TerminalLine(pty->slave()), "19200 1");
        linked.port.output("/1?\r");
        QCOMPARE(pty->receive(4), "/1?\r");
        pty->send("late");
        QCOMPARE(CountOnceArrived(linked.port, 4), 4);
        linked.port.setPortOpen(false);  // closing drops what came
        QCOMPARE(linked.port.inBufferCount(), int16_t(0));
        QCOMPARE(linked.port.input(), "");
    }

    // A device that stops taking bytes (here a far end that stops reading): the write that
    // could not all go out is told, what it left unsent is dropped, and the next exchange sends
    // its own frame alone.
    void aWriteTheDeviceDoesNotTakeIsToldAndItsRestDropped() {
        PtyPair pty;
        LinkedPort linked(pty);
        linked.port.setPortOpen(true);
        QVERIFY2(linked.port.portOpen(), linked.port.openError().c_str());
        const std::string block(1 << 20, 'x');  // far more than a terminal's buffers hold
        QElapsedTimer took;
        took.start();
        linked.port.output(block);
        QVERIFY2(took.elapsed() < 3000, qPrintable(QString::number(took.elapsed())));
        QVERIFY(linked.port.lineLost());
        QString error = QString::fromStdString(linked.port.openError());
        error.replace(QRegularExpression("took \\d+ of"), "took N of");
        QCOMPARE(error, "Com1 (" + linked.folder.filePath("COM1") + " -> " +
                            QString::fromStdString(pty.slaveName) +
                            "): the device took N of the 1048576 bytes sent within 0.5 s, and the rest was "
                            "dropped: check the cable and the handshaking (a device that is not ready holds "
                            "the line); the next Send opens the port again");
        const std::string drained = pty.receive(block.size(), 1000);
        QVERIFY(drained.size() < block.size());
        linked.port.setPortOpen(true);
        QVERIFY2(linked.port.portOpen(), linked.port.openError().c_str());
        linked.port.output("/1Q\r");
        QCOMPARE(pty.receive(5, 500), "/1Q\r");
    }
};

ZR_TEST(QtSerialPortTest);
#include "test_qt_serial_port.moc"

#include <signal.h>

#include <QFile>
#include <QSerialPort>
#include <QtTest>
#include <chrono>
#include <thread>

#include "fakes/test_registry.h"
#include "live_window.h"

using zr::Control;

// Faults on the line while the operator works: none may crash or freeze the window or touch
// programs.txt, each is told to the operator, and a Send after the line is back works.
class LineFaultsTest : public QObject {
    Q_OBJECT
private slots:
    void thePumpVanishesMidReply();
    void theDeviceIsUnplugged();
    void thePortIsInUseByAnotherProgram();
};

namespace {

const QByteArray kPrograms = "\"\"\r\nrinse;A3000V1600A0gA3000A0G10\r\n";

void KeepPrograms(LiveWindow& live) {
    QFile file(live.folder.filePath("programs.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(kPrograms);
}

// With pumpsim (back) on the line, a Send gets its answer; programs.txt is as it was.
void ExpectRecovered(LiveWindow& live) {
    if (live.sim.processId() == 0) QVERIFY2(live.start(), qPrintable(live.sim.error()));
    live.boxes.seen.clear();
    live.send("?");
    QCOMPARE(live.shown(Control::lblReply), QString("Absolute position = 0 Steps"));
    QCOMPARE(live.boxes.seen, QStringList());
    QCOMPARE(live.programs(), kPrograms);
}

}  // namespace

void LineFaultsTest::thePumpVanishesMidReply() {
    LiveWindow live;
    KeepPrograms(live);
    QVERIFY2(live.start({"--dribble", "30"}), qPrintable(live.sim.error()));
    const qint64 pid = live.sim.processId();
    std::thread power([pid] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::kill(pid_t(pid), SIGKILL);
    });
    live.send("&");  // 18 bytes at 30 ms each: the pump dies about halfway through
    power.join();
    QCOMPARE(live.shown(Control::lblReplyCode), QString("none"));
    QTRY_COMPARE_WITH_TIMEOUT(live.boxes.seen, QStringList{"Comm Error: Timeout error.  No response from pump"}, 5000);
    live.sim.stop();
    ExpectRecovered(live);
}

// An unplugged adapter: the device that COM1 names is gone.
void LineFaultsTest::theDeviceIsUnplugged() {
    LiveWindow live;
    KeepPrograms(live);
    QVERIFY2(live.start(), qPrintable(live.sim.error()));
    live.send("?");
    const QString device = QFile::symLinkTarget(live.folder.filePath("COM1"));
    ::kill(pid_t(live.sim.processId()), SIGKILL);
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(device), 5000);
    live.sim.stop();
    live.send("?");
    QCOMPARE(live.boxes.seen, QStringList{"Comm Error: Cannot open Com1 (" + live.folder.filePath("COM1") + " -> " +
                                          device + "): no such device"});
    ExpectRecovered(live);
}

void LineFaultsTest::thePortIsInUseByAnotherProgram() {
    LiveWindow live;
    KeepPrograms(live);
    QVERIFY2(live.start(), qPrintable(live.sim.error()));
    const QString device = QFile::symLinkTarget(live.folder.filePath("COM1"));
    QSerialPort other(device);
    QVERIFY2(other.open(QIODevice::ReadWrite), qPrintable(other.errorString()));
    live.send("?");
    QCOMPARE(live.boxes.seen, QStringList{"Comm Error: Cannot open Com1 (" + live.folder.filePath("COM1") + " -> " +
                                          device + "): busy, in use by another program"});
    other.close();
    ExpectRecovered(live);
}

ZR_TEST(LineFaultsTest);
#include "test_line_faults.moc"

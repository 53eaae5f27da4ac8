#include <signal.h>

#include <QComboBox>
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
    void anOpenFailureLeavesNoStaleReplyAndNoTimeOut();
    void thePortBoxTellsWhatEachPortIsWhenOpened();
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
    QTRY_COMPARE_WITH_TIMEOUT(live.boxes.seen,
                              QStringList{"Comm Error: Timeout error.  No response from pump"}, 5000);
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
    QCOMPARE(live.boxes.seen, QStringList{"Comm Error: Cannot open Com1 (" + live.folder.filePath("COM1") +
                                          " -> " + device + "): no such device"});
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
    QCOMPARE(live.boxes.seen, QStringList{"Comm Error: Cannot open Com1 (" + live.folder.filePath("COM1") +
                                          " -> " + device + "): busy, in use by test_e2e_window (process " +
                                          QString::number(QCoreApplication::applicationPid()) + ")"});
    other.close();
    ExpectRecovered(live);
}

// After an answered Send, a Send whose port cannot be opened blanks the reply fields; after an
// unanswered one, its time-out box never comes, since nothing more was sent.
void LineFaultsTest::anOpenFailureLeavesNoStaleReplyAndNoTimeOut() {
    LiveWindow live;
    QVERIFY2(live.start(), qPrintable(live.sim.error()));
    live.send("?");
    QCOMPARE(live.shown(Control::lblReply), QString("Absolute position = 0 Steps"));
    QFile::remove(live.folder.filePath("COM1"));
    QFile::link("/dev/pts/no-such-terminal", live.folder.filePath("COM1"));
    live.send("?");
    QCOMPARE(live.boxes.seen, QStringList{"Comm Error: Cannot open Com1 (" + live.folder.filePath("COM1") +
                                          " -> /dev/pts/no-such-terminal): no such device"});
    for (Control field : {Control::lblStatCode, Control::lblStatus, Control::lblReply})
        QCOMPARE(live.shown(field), QString());
    QCOMPARE(live.shown(Control::lblReplyCode), QString("none"));

    live.boxes.seen.clear();
    live.sim.stop();
    QVERIFY2(live.start({"--silent"}), qPrintable(live.sim.error()));
    live.send("?");  // unanswered: the port stays open and the time-out is armed
    live.click(Control::cmdSetup);
    QWidget* port = live.window().widget(Control::cboPort);
    QTest::keyClick(port, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(port, "/dev/ttyUSB0");
    live.click(Control::cmdExitSetup);
    live.click(Control::cmdXmit);
    QTest::qWait(2500);
    QCOMPARE(live.boxes.seen,
             QStringList{"Comm Error: \"/dev/ttyUSB0\" is not a port: choose Com1 to Com4, or "
                         "link the device as COM1 in " +
                         live.folder.path()});
}

// Each port's tooltip and accessible description tell what it stands for, afresh when the list
// is opened: free at first (pumpsim keeps its own end open), open in this program once an
// unanswered Send left it open.
void LineFaultsTest::thePortBoxTellsWhatEachPortIsWhenOpened() {
    LiveWindow live;
    QVERIFY2(live.start({"--silent"}), qPrintable(live.sim.error()));
    auto* box = qobject_cast<QComboBox*>(live.window().widget(Control::cboPort));
    const QString com1 = "Com1: " + live.folder.filePath("COM1") + " -> " +
                         QFile::symLinkTarget(live.folder.filePath("COM1")) + "\n";
    live.click(Control::cmdSetup);
    box->showPopup();
    QCOMPARE(
        box->itemData(0, Qt::ToolTipRole).toString(),
        com1 + "free, but pumpsim (process " + QString::number(live.sim.processId()) + ") has it open too");
    box->hidePopup();
    live.click(Control::cmdExitSetup);
    live.send("?");
    live.click(Control::cmdSetup);
    box->showPopup();
    QCOMPARE(box->itemData(0, Qt::ToolTipRole).toString(), com1 + "open in this program");
    QCOMPARE(box->itemData(0, Qt::AccessibleDescriptionRole).toString(), com1 + "open in this program");
    QCOMPARE(box->itemText(0), QString("Com1"));
    QVERIFY(box->itemData(1, Qt::ToolTipRole).toString().startsWith("Com2: "));
    box->hidePopup();
}

ZR_TEST(LineFaultsTest);
#include "test_line_faults.moc"

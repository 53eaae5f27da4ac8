#include <signal.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QTest>
#include <QTimer>
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
    void anOpenFailureLeavesNoStaleReplyAndNoTimeOut();
    void aVanishedLinkSendsNothingAndStopsTheDisplay();
    void thePortBoxTellsWhatEachPortIsWhenOpened();
};

namespace {

const QByteArray kPrograms = "\"\"\r\nrinse;A3000V1600A0gA3000A0G10\r\n";

void KeepPrograms(LiveWindow& live) {
    QFile file(live.folder.filePath("programs.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(kPrograms);
}

// A pumpsim started again may have another terminal than the one Com1 was `used` on: the first
// Send then only tells that the link leads there now.
void SendOnceToANewTerminal(LiveWindow& live, const QString& used) {
    const QString link = live.folder.filePath("COM1"), now = QFile::symLinkTarget(link);
    if (now == used) return;
    live.send("?");
    QCOMPARE(live.boxes.seen,
             QStringList{"Comm Error: Com1: the link " + link + " now leads to " + now + ", no longer to " +
                         used + ": nothing was sent. Send again to use it."});
    live.boxes.seen.clear();
}

// With pumpsim (back) on the line, a Send gets its answer; programs.txt is as it was.
void ExpectRecovered(LiveWindow& live, const QString& used = {}) {
    if (live.sim.processId() == 0) QVERIFY2(live.start(), qPrintable(live.sim.error()));
    live.boxes.seen.clear();
    if (!used.isEmpty()) SendOnceToANewTerminal(live, used);
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
    const QString used = QFile::symLinkTarget(live.folder.filePath("COM1"));
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
    ExpectRecovered(live, used);
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
    ExpectRecovered(live, device);
}

// After an answered Send, a Send whose port cannot be opened blanks the reply fields; after an
// unanswered one, its time-out box never comes, since nothing more was sent.
void LineFaultsTest::anOpenFailureLeavesNoStaleReplyAndNoTimeOut() {
    LiveWindow live;
    QVERIFY2(live.start(), qPrintable(live.sim.error()));
    const QString used = QFile::symLinkTarget(live.folder.filePath("COM1"));
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
    SendOnceToANewTerminal(live, used);
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

// The link of Com1 goes while the position display repeats: the next query is refused, whatever
// port Com1 would be without the link, the display stops and no time-out follows; Sends are
// refused until the link is back, and the first Send then is answered with no box.
void LineFaultsTest::aVanishedLinkSendsNothingAndStopsTheDisplay() {
    LiveWindow live;
    KeepPrograms(live);
    QVERIFY2(live.start(), qPrintable(live.sim.error()));
    const QString link = live.folder.filePath("COM1"), device = QFile::symLinkTarget(link);
    const QString gone = "Comm Error: Com1: the link " + link + " -> " + device + " is gone, and Com1 ";
    auto* report = qobject_cast<QCheckBox*>(live.window().widget(Control::chkReport));
    report->setChecked(true);
    QTimer::singleShot(500, [&] { QFile::remove(link); });
    QTimer::singleShot(5000, report, [report] { report->setChecked(false); });  // were it to go on
    live.send("?");  // returns once the display has stopped
    live.send("?");
    QTest::qWait(2500);
    QCOMPARE(live.boxes.seen.size(), 2);
    for (const QString& box : live.boxes.seen) QVERIFY2(box.startsWith(gone), qPrintable(box));
    report->setChecked(false);
    QFile::link(device, link);
    ExpectRecovered(live);
    QTest::qWait(2500);
    QCOMPARE(live.boxes.seen, QStringList());
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
    box->hidePopup();
}

ZR_TEST(LineFaultsTest);
#include "test_line_faults.moc"

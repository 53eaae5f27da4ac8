#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHelpEvent>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <memory>
#include <thread>

#include "cmdlist/command_list.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "live/pumpsim_process.h"
#include "live/ser2net_process.h"
#include "modal_boxes.h"
#include "ui/program.h"

using zr::Control;

// Sessions at the bench: the real window, the real serial adapter, pumpsim on the line. Faults
// on the line may not crash or freeze the window or touch programs.txt; each is told to the
// operator, and a Send after the line is back works.
class OperatorSessionsTest : public QObject {
    Q_OBJECT
private slots:
    void aSendShowsWhatCameBack_data() { zr::test::AddTableRows(QFINDTESTDATA("exchanges.txt")); }
    void aSendShowsWhatCameBack();
    void tooltipsTellTheSettingsAndTheBytes();
    void thePumpVanishesMidReply();
    void anUnansweringHostFreezesNothingAndStopStillWorks();
};

namespace {

// The whole program, window shown, on a fresh program folder with the command lists; start()
// makes a running pumpsim its COM1. The operator's clicks and keys go to the real widgets, and
// the boxes are answered by a script.
struct LiveWindow {
    LiveWindow() {
        // The command lists stand in the program's own folder, as an installed program has them.
        const QDir built(qEnvironmentVariable("ZR_PROGRAM_DIR"));
        for (const zr::DeviceType& device : zr::DeviceTypes)
            QFile::copy(built.filePath(device.file), folder.filePath(device.file));
        zr::SubstituteMissingFonts();
        program = std::make_unique<zr::Program>(folder.path());
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
    }
    // Starts pumpsim with these options; false (see sim.error()) when it could not.
    bool start(const QStringList& options = {}) { return sim.start(folder.path(), options); }
    void click(Control button) {
        QTest::mouseClick(qobject_cast<QAbstractButton*>(window().widget(button)), Qt::LeftButton);
    }
    // Types the command in place of the command line's text, as the operator does; clicks Send.
    void send(const QString& command) {
        QWidget* line = window().widget(Control::text1);
        QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(line, Qt::Key_Delete);
        QTest::keyClicks(line, command);
        click(Control::cmdXmit);
    }
    // Picks an item of a combo box from its list, as a mouse choice does.
    void choose(Control combo, const QString& item) {
        auto* box = qobject_cast<QComboBox*>(window().widget(combo));
        const int index = box->findText(item);
        QVERIFY2(index >= 0, qPrintable(item));
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    QString shown(Control control) {
        const std::string text = window().text(control);
        return QString::fromLatin1(text.data(), qsizetype(text.size()));
    }
    // programs.txt of the program folder as it stands on disk.
    QByteArray programs() {
        QFile file(folder.filePath("programs.txt"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }
    zr::Form1& window() { return program->window(); }

    QTemporaryDir folder;
    PumpSimProcess sim;
    std::unique_ptr<zr::Program> program;
    ModalBoxes boxes;
};

const QByteArray kPrograms = "\"\"\r\nrinse;A3000V1600A0gA3000A0G10\r\n";

// With pumpsim started again, a Send gets its answer and programs.txt is as it was. Its new
// terminal may not be the one Com1 was `used` on: the first Send then only tells that the link
// leads there now.
void ExpectRecovered(LiveWindow& live, const QString& used) {
    QVERIFY2(live.start(), qPrintable(live.sim.error()));
    live.boxes.seen.clear();
    const QString link = live.folder.filePath("COM1"), now = QFile::symLinkTarget(link);
    if (now != used) {
        live.send("?");
        QCOMPARE(live.boxes.seen,
                 QStringList{"Comm Error: Com1: the link " + link + " now leads to " + now +
                             ", no longer to " + used + ": nothing was sent. Send again to use it."});
        live.boxes.seen.clear();
    }
    live.send("?");
    QCOMPARE(live.shown(Control::lblReply), QString("Absolute position = 0 Steps"));
    QCOMPARE(live.boxes.seen, QStringList());
    QCOMPARE(live.programs(), kPrograms);
}

// Makes the window's COM1 a file naming the network port `url`.
bool NameNetworkPort(LiveWindow& live, const QString& url) {
    QFile file(live.folder.filePath("COM1"));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(url.toUtf8() + "\n") > 0;
}

// A loopback port that takes no connection: its listening queue is full, so a connection
// attempt waits, unanswered, as with a host that is off.
struct DeadPort {
    DeadPort() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener, 0);
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ~DeadPort() {
        ::close(filler);
        ::close(listener);
    }
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    int filler = ::socket(AF_INET, SOCK_STREAM, 0);
    int port = 0;
};

}  // namespace

void OperatorSessionsTest::aSendShowsWhatCameBack() {
    QFETCH(QByteArrayList, row);
    const auto field = [&](int i) {
        return QString::fromLatin1(row[i]).replace("{40000}", QString("0123456789").repeated(4000));
    };
    LiveWindow live;
    QVERIFY2(live.start(field(1).split(' ', Qt::SkipEmptyParts)), qPrintable(live.sim.error()));
    live.click(Control::cmdSetup);
    live.choose(Control::cboProtocol, field(2));
    live.click(Control::cmdExitSetup);
    live.choose(Control::cboAddress, field(3));
    QTRY_COMPARE(live.boxes.seen.size(), int(field(2) == "OEM") + int(field(3).contains(',')));
    live.boxes.seen.clear();
    const QByteArray programs = live.programs();
    live.send(field(4));

    QCOMPARE(live.shown(Control::lblStatus), field(5));
    QCOMPARE(live.shown(Control::lblReply), field(6));
    QCOMPARE(live.shown(Control::lblReplyCode), field(7));
    QTest::qWait(field(8).isEmpty() ? 0 : 3000);
    QCOMPARE(live.boxes.seen, field(8).isEmpty() ? QStringList() : QStringList{field(8)});
    QCOMPARE(live.shown(Control::text1), field(4));
    QCOMPARE(live.programs(), programs);
}

// Send's tooltip, asked for when the pointer rests on it, tells where Com1 leads now (pumpsim
// came after start-up); the reply's tells the exchange's bytes and the times taken on the real
// line. Each is also the accessible description. (Their texts in full: tests/link/summaries.txt.)
void OperatorSessionsTest::tooltipsTellTheSettingsAndTheBytes() {
    LiveWindow live;
    QVERIFY2(live.start(), qPrintable(live.sim.error()));
    QWidget* send = live.window().widget(Control::cmdXmit);
    QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), send->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(send, &hover);
    const QString settings = send->toolTip();
    QCOMPARE(settings, "Com1 = " + live.folder.filePath("COM1") + " -> " +
                           QFile::symLinkTarget(live.folder.filePath("COM1")) +
                           " · 9600,n,8,1 · DT · pump 1");
    QCOMPARE(live.window().widget(Control::cboAddress)->accessibleDescription(), settings);

    live.send("?");
    const QString told = live.window().widget(Control::lblReply)->toolTip();
    const QRegularExpressionMatch match = QRegularExpression(
                                              "^Sent 2F 31 3F 0D\\n.*\\nReply 2F 30 60 30 03 0D 0A FF\\n.*\\n"
                                              "First byte after (\\d+) ms · reply read after (\\d+) ms$")
                                              .match(told);
    // the first byte comes within the reply wait; the reply is read after one settle pass more
    QVERIFY2(match.hasMatch() && match.captured(1).toInt() < 100 && match.captured(2).toInt() >= 200,
             qPrintable(told));
    QCOMPARE(live.window().widget(Control::lblStatus)->accessibleDescription(), told);
}

void OperatorSessionsTest::thePumpVanishesMidReply() {
    LiveWindow live;
    QFile programs(live.folder.filePath("programs.txt"));
    QVERIFY(programs.open(QIODevice::WriteOnly) && programs.write(kPrograms) == kPrograms.size());
    programs.close();
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

// A host that does not answer: the window goes on working while the connection is tried, a
// Stop pressed meanwhile runs once it has failed, and its second "T" reaches the pump that
// COM1 names by then (the first tells that COM1 leads elsewhere now).
void OperatorSessionsTest::anUnansweringHostFreezesNothingAndStopStillWorks() {
    QTemporaryDir simFolder;  // pumpsim's, shared by ser2net with RFC 2217
    LiveWindow live;
    Ser2netProcess server;
    QVERIFY2(live.sim.start(simFolder.path(), {}) &&
                 server.start({"telnet(rfc2217),tcp"}, {simFolder.filePath("COM1")}),
             qPrintable(live.sim.error() + server.error()));
    DeadPort dead;
    const QString deadUrl = "socket://127.0.0.1:" + QString::number(dead.port);
    QVERIFY(NameNetworkPort(live, deadUrl));
    bool ranMeanwhile = false;
    QTimer::singleShot(200, [&] {
        ranMeanwhile = true;
        live.click(Control::cmdStop);
        QVERIFY(NameNetworkPort(live, "rfc2217://127.0.0.1:" + QString::number(server.port(0))));
    });
    QElapsedTimer took;
    took.start();
    live.send("?");
    QVERIFY(ranMeanwhile);
    QVERIFY2(took.elapsed() > 2900 && took.elapsed() < 6000, qPrintable(QString::number(took.elapsed())));
    const QString port = QString::number(dead.port);
    QCOMPARE(live.boxes.seen, QStringList{"Comm Error: Cannot open Com1 (" + live.folder.filePath("COM1") +
                                          " -> " + deadUrl + "): no answer from 127.0.0.1 on port " + port +
                                          " within 3 s: check that 127.0.0.1 is on and reachable from "
                                          "here, and that no firewall holds port " +
                                          port + " back"});
    QVERIFY2(live.sim.transcript().count("rx 2F 31 54 0D") == 2, qPrintable(live.sim.transcript()));
}

ZR_TEST(OperatorSessionsTest);
#include "test_operator_sessions.moc"

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <thread>

#include "fakes/test_registry.h"
#include "live/ser2net_process.h"
#include "live_window.h"

using zr::Control;

// Faults on the line while the operator works: none may crash or freeze the window or touch
// programs.txt, each is told to the operator, and a Send after the line is back works.
class LineFaultsTest : public QObject {
    Q_OBJECT
private slots:
    void thePumpVanishesMidReply();
    void anUnansweringHostFreezesNothingAndStopStillWorks();
};

namespace {

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

void LineFaultsTest::thePumpVanishesMidReply() {
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
void LineFaultsTest::anUnansweringHostFreezesNothingAndStopStillWorks() {
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

ZR_TEST(LineFaultsTest);
#include "test_line_faults.moc"

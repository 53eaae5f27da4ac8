#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include "fakes/test_registry.h"
#include "live/ser2net_process.h"
#include "live_window.h"

using zr::Control;

namespace {

// pumpsim on a pseudo-terminal of a folder of its own, shared by ser2net with RFC 2217 on a
// loopback port; the window's COM1 is a file naming it.
struct RemotePump {
    bool start(LiveWindow& live) {
        if (!sim.start(simFolder.path(), {})) return false;
        return server.start({"telnet(rfc2217),tcp"}, {device()}) && name(live, url());
    }
    QString device() const { return simFolder.filePath("COM1"); }
    QString url() const { return "rfc2217://127.0.0.1:" + QString::number(server.port(0)); }
    // Makes the window's COM1 the file naming `port`.
    static bool name(LiveWindow& live, const QString& port) {
        QFile file(live.folder.filePath("COM1"));
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(port.toUtf8() + "\n") > 0;
    }

    QTemporaryDir simFolder;
    PumpSimProcess sim;
    Ser2netProcess server;
};

// The baud rate the terminal's line has now, as its far end (ser2net) set it.
int BaudOf(const QString& device) {
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios line{};
    const bool read = fd >= 0 && ::tcgetattr(fd, &line) == 0;
    if (fd >= 0) ::close(fd);
    const std::pair<int, speed_t> speeds[] = {{9600, B9600}, {19200, B19200}, {38400, B38400}};
    for (auto [rate, speed] : speeds)
        if (read && cfgetospeed(&line) == speed) return rate;
    return 0;
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

// The window on a pump on another computer: ser2net on loopback, pumpsim behind it.
class NetworkWindowTest : public QObject {
    Q_OBJECT
private slots:
    // An OEM exchange (0xFF in frame and reply) through the window; the window's baud rate is
    // the remote port's; the Send tooltip tells where Com1 leads.
    void aSendReachesThePumpThroughTheServer() {
        LiveWindow live;
        RemotePump remote;
        QVERIFY2(remote.start(live), qPrintable(remote.sim.error() + remote.server.error()));
        live.choose(Control::cboBaud, "19,200");
        live.choose(Control::cboProtocol, "OEM");
        live.boxes.seen.clear();  // the notes on the two choices
        live.send("?");
        QCOMPARE(live.shown(Control::lblReply), QString("Absolute position = 0 Steps"));
        QCOMPARE(live.boxes.seen, QStringList());
        const QString transcript = remote.sim.transcript();
        QVERIFY2(
            transcript.contains("rx FF 02 31 31 3F 03 3E") && transcript.contains("tx FF 02 30 60 30 03"),
            qPrintable(transcript));
        // A group command leaves the port open: the remote line has the window's baud rate.
        live.choose(Control::cboAddress, "ALL");
        live.send("?");
        QCOMPARE(BaudOf(remote.device()), 19200);
        const QString tooltip = live.window().widget(Control::cmdXmit)->toolTip();
        QVERIFY2(
            tooltip.startsWith("Com1 = " + live.folder.filePath("COM1") + " -> " + remote.url() + " \u00b7 "),
            qPrintable(tooltip));
    }

    // A host that does not answer: the window goes on working while the connection is tried, a
    // Stop pressed meanwhile runs once it has failed, and its second "T" reaches the pump that
    // COM1 names by then (the first tells that COM1 leads elsewhere now).
    void anUnansweringHostFreezesNothingAndStopStillWorks() {
        LiveWindow live;
        RemotePump remote;
        QVERIFY2(remote.start(live), qPrintable(remote.sim.error() + remote.server.error()));
        DeadPort dead;
        const QString deadUrl = "socket://127.0.0.1:" + QString::number(dead.port);
        QVERIFY(RemotePump::name(live, deadUrl));
        bool ranMeanwhile = false;
        QTimer::singleShot(200, [&] {
            ranMeanwhile = true;
            live.click(Control::cmdStop);
            QVERIFY(RemotePump::name(live, remote.url()));
        });
        QElapsedTimer took;
        took.start();
        live.send("?");
        QVERIFY(ranMeanwhile);
        QVERIFY2(took.elapsed() > 2900 && took.elapsed() < 6000, qPrintable(QString::number(took.elapsed())));
        const QString port = QString::number(dead.port);
        QCOMPARE(live.boxes.seen,
                 QStringList{"Comm Error: Cannot open Com1 (" + live.folder.filePath("COM1") + " -> " +
                             deadUrl + "): no answer from 127.0.0.1 on port " + port +
                             " within 3 s: check that 127.0.0.1 is on and reachable from "
                             "here, and that no firewall holds port " +
                             port + " back"});
        QVERIFY2(remote.sim.transcript().count("rx 2F 31 54 0D") == 2, qPrintable(remote.sim.transcript()));
    }
};

ZR_TEST(NetworkWindowTest);
#include "test_network.moc"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <memory>

#include "cli/scan_plan.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "live/delay_relay.h"
#include "live/pumpsim_process.h"
#include "live/ser2net_process.h"
#include "shared/list_boxes.h"

using namespace zr::cli;

namespace {

QStringList Split(const QByteArray& list) {
    return QString::fromLatin1(list).split(' ', Qt::SkipEmptyParts);
}

// The index of an item in one of the window's lists.
template <typename Items>
int IndexOf(const Items& items, const QString& item) {
    for (int i = 0; i < int(items.size()); ++i)
        if (item == items[i].item || item == items[i].value) return i;
    return -1;
}

QString Named(const Probe& p) {
    return QString("%1 %2 %3")
        .arg(zr::BaudItems[p.baudIndex].value, zr::ProtocolItems[p.protocolIndex].item,
             zr::AddressItems[p.addressIndex].item);
}

// pumpsim linked in a folder of its own, what its link ends at, and on demand the same through
// ser2net behind a relay that holds each chunk half a round trip each way.
struct Line {
    QTemporaryDir dir;
    PumpSimProcess sim;
    Ser2netProcess server;
    std::map<int, std::unique_ptr<DelayRelay>> relays;
    QString link() const { return dir.filePath("COM1"); }
    QString device() const { return QFileInfo(link()).canonicalFilePath(); }
    // rfc2217:// through a relay of `roundTripMs`; "" with the failure in `error` when the
    // server cannot start.
    QString far(int roundTripMs, QString& error) {
        if (server.ports().empty() && !server.start({"telnet(rfc2217),tcp(nodelay)"}, {device()})) {
            error = server.error();
            return {};
        }
        std::unique_ptr<DelayRelay>& relay = relays[roundTripMs];
        if (!relay) relay = std::make_unique<DelayRelay>(server.port(0), roundTripMs / 2);
        return "rfc2217://127.0.0.1:" + QString::number(relay->port());
    }
    // {sim}, {dev}, {dir} and {farN} (through a relay of N ms round trip) filled in.
    QString fill(QByteArray text, QString& error) {
        QString filled = QString::fromLatin1(text.replace("{sim}", link().toLatin1())
                                                 .replace("{dev}", device().toLatin1())
                                                 .replace("{dir}", dir.path().toLatin1()));
        static const QRegularExpression farName("\\{far(\\d+)\\}");
        for (QRegularExpressionMatch m = farName.match(filled); m.hasMatch(); m = farName.match(filled))
            filled.replace(m.captured(0), far(m.captured(1).toInt(), error));
        return filled;
    }
};

// The commands of the frames pumpsim's log says it received, cut out by their framing:
// "/", address, command, CR; or FF 02, address, "1", command, 03, checksum.
QStringList Received(const QString& log) {
    QStringList commands;
    for (const QString& line : log.split('\n')) {
        if (!line.startsWith("rx ")) continue;
        const QByteArray frame = QByteArray::fromHex(line.section(" at ", 0, 0).mid(3).toLatin1());
        commands << QString::fromLatin1(frame.startsWith('/') ? frame.mid(2, frame.size() - 3)
                                                              : frame.mid(4, frame.size() - 6));
    }
    return commands;
}

}  // namespace

class ScanTest : public QObject {
    Q_OBJECT
private slots:
    void probesComeInTheirOrder_data() { zr::test::AddTableRows(QFINDTESTDATA("scan_plans.txt")); }
    void probesComeInTheirOrder() {
        QFETCH(QByteArrayList, row);
        std::vector<int> bauds, protocols;
        for (const QString& b : Split(row[1])) bauds.push_back(IndexOf(zr::BaudItems, b));
        for (const QString& p : Split(row[2])) protocols.push_back(IndexOf(zr::ProtocolItems, p));
        if (bauds.empty()) bauds = {0, 1, 2, 3, 4, 5};
        if (protocols.empty()) protocols = {0, 1};
        ScanPlan plan(bauds, protocols);
        QStringList order;
        while (const auto probe = plan.next()) {
            order << Named(*probe);
            if (order.last() == QString::fromLatin1(row[3])) plan.answered(*probe);
        }
        // Every probe once: 15 pumps at each setting.
        QCOMPARE(order.size(), int(bauds.size() * protocols.size() * 15));
        QCOMPARE(QSet<QString>(order.begin(), order.end()).size(), order.size());
        QStringList expected = QString::fromLatin1(row[4]).split(", ");
        if (expected.last() == "...") expected.removeLast(), order = order.mid(0, expected.size());
        QCOMPARE(order, expected);
    }

    void aScanReportsWhatItFinds_data() { zr::test::AddTableRows(QFINDTESTDATA("scan_runs.txt")); }
    void aScanReportsWhatItFinds() {
        QFETCH(QByteArrayList, row);
        Line line;
        QVERIFY2(line.sim.start(line.dir.path(), Split(row[1])), qPrintable(line.sim.error()));
        QString error;
        const QStringList arguments = QStringList{"scan"} + line.fill(row[2], error).split(' ');
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QProcess scan;
        scan.start(QStringLiteral(ZR_CLI), arguments);
        // Generous: a far network's probes take half a second each, and a second build may run.
        QVERIFY(scan.waitForFinished(90000));
        const QString err = QString::fromLatin1(scan.readAllStandardError());
        QCOMPARE(QString::fromLatin1(scan.readAllStandardOutput()), line.fill(row[4], error));
        QCOMPARE(scan.exitCode(), row[3].toInt());
        if (row[5].isEmpty())
            QCOMPARE(err, QString());
        else
            QVERIFY2(err.contains(line.fill(row[5], error)), qPrintable(err));
    }

    // Two lines with pumps at settings of their own, and a port that cannot be opened, scanned
    // side by side: each pump is printed as soon as it is found, each line's in the order of
    // its probes, and the pumps were only asked questions.
    void findsEveryPumpOnEveryPortWithQueriesOnly() {
        Line oem, dt;
        QVERIFY2(oem.sim.start(oem.dir.path(), {"--address", "B", "--baud", "38400", "--protocol", "OEM",
                                                "--firmware", "XL 3.1", "--address", "1", "--baud", "1200"}),
                 qPrintable(oem.sim.error()));
        QVERIFY2(dt.sim.start(dt.dir.path(), {"--address", "1,2", "--baud", "9600", "--protocol", "DT"}),
                 qPrintable(dt.sim.error()));
        QProcess scan;
        scan.start(QStringLiteral(ZR_CLI),
                   {"scan", "--json", "--baud", "38400", "--baud", "9600", "--port", oem.link(), "--port",
                    oem.dir.filePath("ttyNone"), "--port", dt.link()});
        QVERIFY(scan.waitForStarted());
        const QDeadlineTimer deadline(20000);
        while (!scan.canReadLine() && scan.state() == QProcess::Running && !deadline.hasExpired())
            scan.waitForReadyRead(50);
        // Pump 1 of the DT line answers the first probe, with some 3 s of probes still to come.
        QElapsedTimer rest;
        rest.start();
        QVERIFY(scan.canReadLine() && scan.waitForFinished(60000));
        QVERIFY2(
            rest.elapsed() > 500,
            qPrintable(QString("the first pump is printed while the scan goes on, not %1 ms before its end")
                           .arg(rest.elapsed())));
        QCOMPARE(scan.exitCode(), 0);
        const QString pump =
            "{\"address\":\"%1\",\"baud\":%2,\"device\":\"%3\",\"firmware\":\"%4\",\"port\":\"%5\","
            "\"position\":0,\"positionData\":\"0\",\"protocol\":\"%6\",\"status\":\"(Ready) OK\","
            "\"statusCode\":\"` = 96\"}";
        QStringList oemPumps, dtPumps;
        for (const QString& found :
             QString::fromLatin1(scan.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
            (found.contains(oem.link()) ? oemPumps : dtPumps) << found;
        QCOMPARE(oemPumps, QStringList{pump.arg("B", "38400", oem.device(), "XL 3.1", oem.link(), "OEM")});
        QCOMPARE(dtPumps, QStringList({pump.arg("1", "9600", dt.device(), "pumpsim 1.0", dt.link(), "DT"),
                                       pump.arg("2", "9600", dt.device(), "pumpsim 1.0", dt.link(), "DT")}));
        QVERIFY(scan.readAllStandardError().contains("ttyNone: cannot open it: no such device"));

        // The window's defaults first.
        QVERIFY(dt.sim.transcript().section("rx ", 1, 1).startsWith("2F 31 3F 0D at 9600 baud"));
        for (Line* l : {&oem, &dt}) {
            const QStringList commands = Received(l->sim.transcript());
            QVERIFY(commands.size() >= 4 * 15);
            for (const QString& c : commands) QVERIFY2(c == "?" || c == "&", qPrintable(c));
        }
    }

    // Lines where nothing answers take the time of one, every probe's wait as short as it can
    // be: some 13.5 s at every baud rate in both protocols.
    void emptyPortsAreScannedSideBySide() {
        Line one, two;
        for (Line* l : {&one, &two})
            QVERIFY2(l->sim.start(l->dir.path(), {"--silent"}), qPrintable(l->sim.error()));
        QElapsedTimer took;
        took.start();
        QProcess scan;
        scan.start(QStringLiteral(ZR_CLI), {"scan", "--port", one.link(), "--port", two.link()});
        QVERIFY(scan.waitForFinished(60000));
        QCOMPARE(scan.exitCode(), 3);
        // One after the other they would take 27 s; a second build on the same cores adds some.
        QVERIFY2(took.elapsed() < 20000, qPrintable(QString("%1 ms").arg(took.elapsed())));
        QCOMPARE(Received(one.sim.transcript()).size(), 180);
        QCOMPARE(Received(two.sim.transcript()).size(), 180);
    }
};

ZR_TEST(ScanTest);
#include "test_scan.moc"

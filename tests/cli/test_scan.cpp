#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "cli/scan_plan.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "live/pumpsim_process.h"
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

// pumpsim linked in a folder of its own, and what its link ends at.
struct Line {
    QTemporaryDir dir;
    PumpSimProcess sim;
    QString link() const { return dir.filePath("COM1"); }
    QString device() const { return QFileInfo(link()).canonicalFilePath(); }
    QString fill(QByteArray text) const {
        return QString::fromLatin1(text.replace("{sim}", link().toLatin1())
                                       .replace("{dev}", device().toLatin1())
                                       .replace("{dir}", dir.path().toLatin1()));
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
        QProcess scan;
        scan.start(QStringLiteral(ZR_CLI), QStringList{"scan"} + line.fill(row[2]).split(' '));
        QVERIFY(scan.waitForFinished(30000));
        QCOMPARE(scan.exitCode(), row[3].toInt());
        QCOMPARE(QString::fromLatin1(scan.readAllStandardOutput()), line.fill(row[4]));
        const QString err = QString::fromLatin1(scan.readAllStandardError());
        if (row[5].isEmpty())
            QCOMPARE(err, QString());
        else
            QVERIFY2(err.contains(line.fill(row[5])), qPrintable(err));
    }

    // Two lines with pumps at settings of their own, and a port that cannot be opened: each
    // pump is printed as soon as it is found, and the pumps were only asked questions.
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
        const QDeadlineTimer deadline(10000);
        while (!scan.canReadLine() && scan.state() == QProcess::Running && !deadline.hasExpired())
            scan.waitForReadyRead(50);
        // Pump B is found with the whole second line still to scan, some 2 s.
        QElapsedTimer rest;
        rest.start();
        QVERIFY(scan.canReadLine() && scan.waitForFinished(30000));
        QVERIFY2(
            rest.elapsed() > 500,
            qPrintable(QString("the first pump is printed while the scan goes on, not %1 ms before its end")
                           .arg(rest.elapsed())));
        QCOMPARE(scan.exitCode(), 0);
        const QString pump =
            "{\"address\":\"%1\",\"baud\":%2,\"device\":\"%3\",\"firmware\":\"%4\",\"port\":\"%5\","
            "\"position\":0,\"positionData\":\"0\",\"protocol\":\"%6\",\"status\":\"(Ready) OK\","
            "\"statusCode\":\"` = 96\"}\n";
        QCOMPARE(QString::fromLatin1(scan.readAllStandardOutput()),
                 pump.arg("B", "38400", oem.device(), "XL 3.1", oem.link(), "OEM") +
                     pump.arg("1", "9600", dt.device(), "pumpsim 1.0", dt.link(), "DT") +
                     pump.arg("2", "9600", dt.device(), "pumpsim 1.0", dt.link(), "DT"));
        QVERIFY(scan.readAllStandardError().contains("ttyNone: cannot open it: no such device"));

        // The window's defaults first.
        QVERIFY(dt.sim.transcript().section("rx ", 1, 1).startsWith("2F 31 3F 0D at 9600 baud"));
        for (Line* l : {&oem, &dt}) {
            const QStringList commands = Received(l->sim.transcript());
            QVERIFY(commands.size() >= 4 * 15);
            for (const QString& c : commands) QVERIFY2(c == "?" || c == "&", qPrintable(c));
        }
    }
};

ZR_TEST(ScanTest);
#include "test_scan.moc"

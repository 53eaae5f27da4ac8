#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "cli/sequence.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "live/pumpsim_process.h"
#include "live/ser2net_process.h"

namespace {

struct Run {
    int exit = -1;
    QByteArray out, err;
    double seconds = 0;
};

// The call's output goes to the test, but for the arguments ">/dev/full" and "2>/dev/full",
// which put stdout or stderr on a device that is always full, and ">closed-pipe", which puts
// stdout on a pipe whose reader has gone before the program starts.
Run RunCli(QStringList arguments) {
    QProcess cli;
    if (arguments.removeAll(">/dev/full") > 0) cli.setStandardOutputFile("/dev/full");
    if (arguments.removeAll("2>/dev/full") > 0) cli.setStandardErrorFile("/dev/full");
    int pipeEnds[2] = {-1, -1};
    if (arguments.removeAll(">closed-pipe") > 0) {
        if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return {};
        ::close(pipeEnds[0]);
        cli.setChildProcessModifier([writer = pipeEnds[1]] { ::dup2(writer, STDOUT_FILENO); });
    }
    QElapsedTimer clock;
    clock.start();
    cli.start(QStringLiteral(ZR_CLI), arguments);
    Run run;
    const bool finished = cli.waitForFinished(30000);
    if (pipeEnds[1] >= 0) ::close(pipeEnds[1]);
    if (!finished) return run;
    run.seconds = double(clock.elapsed()) / 1000;
    run.exit = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    run.out = cli.readAllStandardOutput();
    run.err = cli.readAllStandardError();
    return run;
}

// A folder with pumpsim's device linked in it as COM1.
struct Bench {
    QTemporaryDir dir;
    PumpSimProcess sim;
    QString device() const { return dir.filePath("COM1"); }
    // A file of the folder holding `text`: its path, "" when it cannot be written.
    QString write(const QString& name, const QByteArray& text) const {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() ? file.fileName()
                                                                                  : QString();
    }
};

// --json output with its timings, which vary, as "fast" where the reply was read whole at once:
// the first byte no later than the end, and both under 190 ms (pumpsim answers at once, and the
// read ends with the reply's last byte, well before the window's 0.1 s reply wait and 0.1 s
// settle step would end it); as "slow FIRST END" otherwise.
QByteArray Timed(const QByteArray& out) {
    static const QRegularExpression timing("\"firstByteMs\":([0-9.]+),\"ms\":([0-9.]+)");
    QString text = QString::fromLatin1(out);
    for (QRegularExpressionMatch m; (m = timing.match(text)).hasMatch();) {
        const double first = m.captured(1).toDouble(), end = m.captured(2).toDouble();
        text.replace(m.capturedStart(), m.capturedLength(),
                     first >= 0 && first <= end && end < 190
                         ? QString("\"timing\":fast")
                         : "\"timing\":slow " + m.captured(1) + " " + m.captured(2));
    }
    return text.toLatin1();
}

// The frames pumpsim has received, in hex, "/" between them.
QByteArray Received(PumpSimProcess& sim) {
    QByteArrayList frames;
    for (const QString& line : sim.transcript().split('\n'))
        if (line.startsWith("rx ")) frames << line.mid(3).section(" at ", 0, 0).toLatin1();
    return frames.isEmpty() ? "-" : frames.join(" / ");
}

}  // namespace

// zadu-rovu-cli as a script runs it: the real program, pumpsim on a pseudo-terminal.
class CliTest : public QObject {
    Q_OBJECT
private slots:
    void aCallPrintsWhatTheWindowShows_data() { zr::test::AddTableRows(QFINDTESTDATA("runs.txt")); }
    void aPauseIsReadOrRefused_data() { zr::test::AddTableRows(QFINDTESTDATA("pauses.txt")); }

    void aCallPrintsWhatTheWindowShows() {
        QFETCH(QByteArrayList, row);
        Bench bench;
        QVERIFY2(
            bench.sim.start(bench.dir.path(), QString::fromLatin1(row[1]).split(' ', Qt::SkipEmptyParts)),
            qPrintable(bench.sim.error()));
        const QString sequence = bench.write("sequence.txt", row.value(6));
        QVERIFY(!sequence.isEmpty());
        // {net}: the same pump through ser2net on loopback.
        Ser2netProcess server;
        if (row[2].contains("{net}"))
            QVERIFY2(server.start({"telnet(rfc2217),tcp"}, {bench.device()}), qPrintable(server.error()));
        const auto fill = [&](QByteArray text) {
            if (text.contains("{net}"))
                text.replace("{net}", "rfc2217://127.0.0.1:" + QByteArray::number(server.port(0)));
            return text.replace("{sim}", bench.device().toUtf8())
                .replace("{seq}", sequence.toUtf8())
                .replace("{dir}", bench.dir.path().toUtf8())
                .replace("{data}", ZR_DATA_DIR)
                .replace("@VERSION@", ZR_VERSION_TEXT);
        };
        QStringList arguments = QString::fromUtf8(fill(row[2])).split(' ', Qt::SkipEmptyParts);
        const Run run = RunCli(arguments);

        QCOMPARE(run.exit, row[3].toInt());
        QCOMPARE(Timed(run.out), fill(row[4]));
        if (row[5].isEmpty())
            QCOMPARE(run.err, QByteArray());
        else
            QVERIFY2(run.err.contains(fill(row[5])), run.err.constData());
        if (!row.value(7).isEmpty()) QCOMPARE(Received(bench.sim), row[7]);
        // No reply is told after the window's 2 s time-out, not sooner and not much later.
        if (run.exit == 3)
            QVERIFY2(run.seconds > 1.9 && run.seconds < 4, qPrintable(QString::number(run.seconds)));
    }

    void aPauseIsReadOrRefused() {
        QFETCH(QByteArrayList, row);
        const zr::cli::Sequence sequence = zr::cli::ReadSequence(row[1].toStdString());
        if (row[2] == "refused") {
            QCOMPARE(sequence.steps.size(), 0U);
            QCOMPARE(sequence.problems.size(), 1U);
            QCOMPARE(sequence.problems[0].line, 1);
            return;
        }
        QCOMPARE(sequence.problems.size(), 0U);
        QCOMPARE(sequence.steps.size(), 1U);
        QVERIFY(sequence.steps[0].kind == zr::cli::Step::Kind::Pause);
        QCOMPARE(sequence.steps[0].seconds, row[2].toDouble());
    }

    void watchEndsCleanlyOnInterrupt() {
        Bench bench;
        QVERIFY2(bench.sim.start(bench.dir.path(), {}), qPrintable(bench.sim.error()));
        QProcess cli;
        cli.start(QStringLiteral(ZR_CLI), {"position", "--watch", "--port", bench.device()});
        QByteArray out;
        QTRY_VERIFY_WITH_TIMEOUT((out += cli.readAllStandardOutput()).count("port = A") >= 3, 10000);
        QElapsedTimer clock;
        clock.start();
        ::kill(pid_t(cli.processId()), SIGINT);
        QVERIFY(cli.waitForFinished(5000));
        QVERIFY2(clock.elapsed() < 2000, "the display ends after the current exchanges");
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 0);
        out += cli.readAllStandardOutput();
        QCOMPARE(out.count("syringe = 0\n"), out.count("port = A\n"));
        QVERIFY(out.endsWith("port = A\n"));
        QCOMPARE(cli.readAllStandardError(), QByteArray());

        // The port was closed: another program opens the device at once.
        const Run after = RunCli({"send", "--port", bench.device(), "?"});
        QCOMPARE(after.exit, 0);
    }

    // Two pumps initialised and waited for, then a long move: Ctrl-C stops both pumps.
    void anInterruptedRunStopsEveryPumpItAddressed() {
        Bench bench;
        QVERIFY2(bench.sim.start(bench.dir.path(), {"--address", "1,2"}), qPrintable(bench.sim.error()));
        QProcess cli;
        cli.start(QStringLiteral(ZR_CLI),
                  {"run", "--json", "--port", bench.device(),
                   bench.write("sequence.txt", "1 W4R\n2 W4R\nwait ready\n1 A48000R\n")});
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += cli.readAllStandardError()).contains("[4/4]"), 10000);
        QTest::qWait(300);  // the move is under way
        ::kill(pid_t(cli.processId()), SIGINT);
        QVERIFY(cli.waitForFinished(5000));
        QCOMPARE(cli.exitCode(), 130);
        err += cli.readAllStandardError();
        QVERIFY2(err.contains("Stop sent to pump 2: (Ready) OK"), err.constData());

        const QList<QByteArray> lines = cli.readAllStandardOutput().trimmed().split('\n');
        QCOMPARE(lines.size(), 4);
        const QJsonObject init = QJsonDocument::fromJson(lines[0]).object();
        QCOMPARE(init["line"].toInt(), 1);
        QVERIFY2(init["readyMs"].toDouble() >= 1000, lines[0].constData());  // homing takes a second
        QCOMPARE(QJsonDocument::fromJson(lines[2]).object()["wait"].toString(), "ready");
        QCOMPARE(QJsonDocument::fromJson(lines[3]).object()["command"].toString(), "A48000R");
        // Stop ("T", twice, as the window's button sends it) to each pump after the move
        const QByteArray frames = Received(bench.sim);
        const qsizetype move = frames.indexOf("2F 31 41 34 38 30 30 30 52 0D");
        QVERIFY2(move > 0 && frames.indexOf("2F 31 54 0D", move) > move &&
                     frames.indexOf("2F 32 54 0D", move) > move,
                 frames.constData());

        const Run after = RunCli({"send", "--port", bench.device(), "?"});
        QVERIFY2(after.out.startsWith("` = 96\n(Ready) OK\n"), after.out.constData());  // stopped, not moving
    }

    // A pump that never answers: Stop waits out its 2 s reply time-out, unless a second interrupt
    // (SIGTERM this time) ends the program at once, with the interrupt's status all the same.
    void aSecondInterruptEndsAtOnce() {
        Bench bench;
        QVERIFY2(bench.sim.start(bench.dir.path(), {"--silent"}), qPrintable(bench.sim.error()));
        QProcess cli;
        cli.start(QStringLiteral(ZR_CLI),
                  {"run", "--port", bench.device(), bench.write("sequence.txt", "W4R\n")});
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += cli.readAllStandardError()).contains("[1/1]"), 10000);
        ::kill(pid_t(cli.processId()), SIGINT);
        QTRY_VERIFY_WITH_TIMEOUT((err += cli.readAllStandardError()).contains("Interrupted: sending Stop"),
                                 5000);
        QTRY_VERIFY_WITH_TIMEOUT(Received(bench.sim).contains("2F 31 54 0D"), 5000);  // Stop is on its way
        QElapsedTimer clock;
        clock.start();
        ::kill(pid_t(cli.processId()), SIGTERM);
        QVERIFY(cli.waitForFinished(5000));
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString("ended %1 ms later").arg(clock.elapsed())));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 130);
        err += cli.readAllStandardError();
        QVERIFY2(err.endsWith("Interrupted again: ending at once\n"), err.constData());
    }

    // The program copied into a folder of its own, which is then its data folder, programs.txt
    // beside it.
    void aStoredProgramRunsAsOneStep() {
        Bench bench;
        QVERIFY2(bench.sim.start(bench.dir.path(), {}), qPrintable(bench.sim.error()));
        const QString cli = bench.dir.filePath("zadu-rovu-cli");
        QVERIFY(QFile::copy(QStringLiteral(ZR_CLI), cli));
        QVERIFY(!bench.write("programs.txt", "\"\"\r\nInit;W4R\r\nBad;gA3000Q5R\r\n").isEmpty());
        const auto run = [&](const QString& name) {
            QProcess process;
            process.start(cli, {"run", "--port", bench.device(), "--program", name});
            return process.waitForFinished(10000) ? process.exitCode() : -1;
        };
        QCOMPARE(run("Init"), 0);
        QCOMPARE(run("Bad"), 1);
        QCOMPARE(run("None"), 66);
        // W4R and the "?" that waited for it; the bad program sent nothing
        QByteArrayList frames = Received(bench.sim).split('/');
        QCOMPARE(frames.takeFirst().trimmed(), "2F 31 57 34 52 0D");
        for (const QByteArray& frame : frames) QCOMPARE(frame.trimmed(), "2F 31 3F 0D");
    }
};

ZR_TEST(CliTest);
#include "test_cli.moc"

#include <signal.h>

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

#include "fakes/rows_file.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "live/pumpsim_process.h"

// zadu-rovu-cli as a script runs it: the real program, pumpsim on a pseudo-terminal.
class CliTest : public QObject {
    Q_OBJECT
private slots:
    void aCallPrintsWhatTheWindowShows_data() { zr::test::AddTableRows(QFINDTESTDATA("runs.txt")); }
    void aCallPrintsWhatTheWindowShows();
    void jsonLinesReadBack();
    void checkPrintsTheParsedFormsAndTheErrors();
    void watchEndsCleanlyOnInterrupt();
};

namespace {

struct Run {
    int exit = -1;
    QByteArray out, err;
    double seconds = 0;
};

Run RunCli(const QStringList& arguments) {
    QProcess cli;
    QElapsedTimer clock;
    clock.start();
    cli.start(QStringLiteral(ZR_CLI), arguments);
    Run run;
    if (!cli.waitForFinished(30000)) return run;
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
};

}  // namespace

void CliTest::aCallPrintsWhatTheWindowShows() {
    QFETCH(QByteArrayList, row);
    Bench bench;
    QVERIFY2(bench.sim.start(bench.dir.path(), QString::fromLatin1(row[1]).split(' ', Qt::SkipEmptyParts)),
             qPrintable(bench.sim.error()));
    const auto fill = [&](QByteArray text) {
        return text.replace("{sim}", bench.device().toUtf8())
            .replace("{dir}", bench.dir.path().toUtf8())
            .replace("@VERSION@", ZR_VERSION_TEXT);
    };
    QStringList arguments = QString::fromUtf8(fill(row[2])).split(' ', Qt::SkipEmptyParts);
    const Run run = RunCli(arguments);

    QCOMPARE(run.exit, row[3].toInt());
    QCOMPARE(run.out, fill(row[4]));
    QVERIFY2(run.err.contains(fill(row[5])), run.err.constData());
    // No reply is told after the window's 2 s time-out, not sooner and not much later.
    if (run.exit == 3)
        QVERIFY2(run.seconds > 1.9 && run.seconds < 4, qPrintable(QString::number(run.seconds)));
}

void CliTest::jsonLinesReadBack() {
    Bench bench;
    QVERIFY2(bench.sim.start(bench.dir.path(), {"--address", "1,2"}), qPrintable(bench.sim.error()));
    const Run run = RunCli({"send", "--json", "--port", bench.device(), "?", "?"});
    QCOMPARE(run.exit, 0);
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 2);
    QCOMPARE(QJsonDocument::fromJson(lines[1]).object()["data"].toString(), "0");

    const QJsonObject answered = QJsonDocument::fromJson(lines[0]).object();
    QCOMPARE(answered["command"].toString(), "?");
    QCOMPARE(answered["statusCode"].toString(), "` = 96");
    QCOMPARE(answered["status"].toString(), "(Ready) OK");
    QCOMPARE(answered["reply"].toString(), "Absolute position = 0 Steps");
    QCOMPARE(answered["data"].toString(), "0");
    QCOMPARE(answered["request"].toString(), "2f313f0d");  // "/1?" and a carriage return
    const QByteArray raw = QByteArray::fromHex(answered["rawReply"].toString().toLatin1());
    QVERIFY2(raw.startsWith("/0`0\x03"), raw.toHex().constData());
    QVERIFY(answered["ms"].toDouble() > 90 && answered["ms"].toDouble() < 2000);
    // pumpsim answers at once: the first byte comes well inside the 0.1 s reply wait
    QVERIFY(answered["firstByteMs"].toDouble() >= 0 && answered["firstByteMs"].toDouble() < 90);
    QCOMPARE(answered["outcome"].toString(), "answered");

    const Run group = RunCli({"send", "--json", "--port", bench.device(), "--address", "1,2", "?"});
    QCOMPARE(group.exit, 0);
    const QJsonObject unanswered = QJsonDocument::fromJson(group.out).object();
    QCOMPARE(unanswered["reply"].toString(), "Multiple address mode - No replies");
    QCOMPARE(unanswered["data"].toString(), "none");
    QCOMPARE(unanswered["request"].toString(), "2f413f0d");  // pumps 1 and 2 together are "A"
    QCOMPARE(unanswered["rawReply"].toString(), "");
    QVERIFY(unanswered["ms"].isNull());
    QVERIFY(unanswered["firstByteMs"].isNull());
    QCOMPARE(unanswered["outcome"].toString(), "no reply expected");
}

// The checker's own table, its rows at the start-up limits that a command line can carry, all
// in one call: the parsed forms in order on stdout, each error's box on stderr.
void CliTest::checkPrintsTheParsedFormsAndTheErrors() {
    std::map<std::string, std::string> errorTexts;
    for (const auto& row : zr::test::ReadRows(QFINDTESTDATA("../link/error_texts.txt").toStdString(), '|'))
        errorTexts[row[0]] = row[1];
    QStringList commands;
    QByteArray forms, boxes;
    bool bad = false;
    for (const auto& row :
         zr::test::ReadRows(QFINDTESTDATA("../cmdlang/checker_rows.txt").toStdString(), '|')) {
        const auto printable = [](const std::string& s) {
            return std::all_of(s.begin(), s.end(),
                               [](unsigned char c) { return c == '\t' || (c >= 32 && c < 127); });
        };
        if ((row.size() > 4 && !row[4].empty()) || !printable(row[0]) || !printable(row[3])) continue;
        commands << QString::fromStdString(row[0]);
        forms += QByteArray::fromStdString(row[3]) + '\n';
        if (row[1] == "0") continue;
        bad = true;
        boxes += "Error: Command syntax error at character #" + QByteArray::fromStdString(row[2]) + '\n' +
                 QByteArray::fromStdString(errorTexts.at(row[1])) + '\n';
    }
    QVERIFY(commands.size() > 50 && bad);
    const Run run = RunCli(QStringList{"check"} + commands);
    QCOMPARE(run.exit, 1);
    QCOMPARE(run.out, forms);
    QCOMPARE(run.err, boxes);

    const Run good = RunCli({"check", "A3000", "gA10R"});
    QCOMPARE(good.exit, 0);
    QCOMPARE(good.err, QByteArray());
}

void CliTest::watchEndsCleanlyOnInterrupt() {
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

ZR_TEST(CliTest);
#include "test_cli.moc"

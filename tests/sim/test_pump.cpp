#include <QTest>

#include "fakes/rows_file.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "pump.h"

using namespace pumpsim;

namespace {

// Sends each command in turn, 100 s apart (so earlier moves have long ended), and returns the
// last reply as status followed by data.
QString Last(Pump& pump, const QStringList& commands) {
    Reply r;
    double now = 0;
    for (const QString& c : commands) {
        r = pump.Handle(c.toStdString(), Framing::DT, now += 100);
    }
    return QChar::fromLatin1(r.status) + QString::fromStdString(r.data);
}

}  // namespace

class PumpTest : public QObject {
    Q_OBJECT
private slots:
    void commandsAnswerWithStatusAndData_data() { zr::test::AddTableRows(QFINDTESTDATA("pump_replies.txt")); }

    void commandsAnswerWithStatusAndData() {
        QFETCH(QByteArrayList, row);
        PumpSettings settings;
        settings.ports = row[1].toInt();
        Pump pump(settings);
        QCOMPARE(Last(pump, QString::fromLatin1(row[2]).split(' ')), QString::fromLatin1(row[3]));
    }

    void sessionsAnswerStepByStep_data() {
        QTest::addColumn<QStringList>("steps");  // "seconds|command|reply"
        QMap<QString, QStringList> sessions;
        QStringList order;
        for (const auto& row : zr::test::ReadRows(QFINDTESTDATA("pump_sessions.txt").toStdString(), '|')) {
            const QString name = QString::fromStdString(row[0]);
            if (!sessions.contains(name)) order << name;
            sessions[name] << QString::fromStdString(row[1] + "|" + row[2] + "|" + row[3]);
        }
        for (const QString& name : order) QTest::newRow(qPrintable(name)) << sessions[name];
    }

    void sessionsAnswerStepByStep() {
        QFETCH(QStringList, steps);
        Pump pump(PumpSettings{});
        for (const QString& step : steps) {
            const QStringList f = step.split('|');
            const Reply r = pump.Handle(f[1].toStdString(), Framing::DT, f[0].toDouble());
            const QString got = QChar::fromLatin1(r.status) + QString::fromStdString(r.data);
            QVERIFY2(got == f[2], qPrintable(step + " answered " + got));
        }
    }

    // Every report number the tool interprets gets a non-empty answer, so none reads as "n/a".
    void queriesAnswerForEveryReportNumber() {
        Pump pump(PumpSettings{});
        for (int n = 0; n <= 30; ++n) {
            const Reply r = pump.Handle("?" + std::to_string(n), Framing::OEM, 0);
            QVERIFY2(r.status == '`' && !r.data.empty(), qPrintable(QString::number(n)));
        }
        for (const char* c : {"~a", "~B", "~h", "~i", "~l", "~P", "~s", "~v", "~y", "~Z", "*", "%", "$", "&",
                              "x?", "f1", "z1", "!"}) {
            const Reply r = pump.Handle(c, Framing::OEM, 0);
            QVERIFY2(r.status == '`' && !r.data.empty(), c);
        }
        QCOMPARE(pump.Handle("~p", Framing::OEM, 0).data, std::string("0"));
    }
};

ZR_TEST(PumpTest);
#include "test_pump.moc"

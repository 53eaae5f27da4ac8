#include <QtTest>

#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "pump.h"

using namespace pumpsim;

namespace {

// Sends each command in turn, one second apart (so earlier moves have long ended unless a
// test says otherwise), and returns the last reply as status followed by data.
QString Last(Pump& pump, const QStringList& commands) {
    Reply r;
    double now = 0;
    for (const QString& c : commands) {
        r = pump.Handle(c.toStdString(), Framing::DT, now += 100);
    }
    return QChar::fromLatin1(r.status) + QString::fromStdString(r.data);
}

QString Send(Pump& pump, const char* command, double now) {
    const Reply r = pump.Handle(command, Framing::DT, now);
    return QChar::fromLatin1(r.status) + QString::fromStdString(r.data);
}

}  // namespace

class PumpTest : public QObject {
    Q_OBJECT
private slots:
    void commandsAnswerWithStatusAndData_data() { zr::test::AddTableRows(QFINDTESTDATA("pump_replies.txt")); }

    void commandsAnswerWithStatusAndData() {
        QFETCH(QByteArrayList, row);
        Pump pump(row[1].toInt());
        QCOMPARE(Last(pump, QString::fromLatin1(row[2]).split(' ')), QString::fromLatin1(row[3]));
    }

    void movesKeepThePumpBusyForStepsOverTopSpeed() {
        Pump pump(6);
        QCOMPARE(Send(pump, "W4R", 0), "@");
        QCOMPARE(Send(pump, "?", Pump::kHomingSeconds - 0.01), "@0");
        QCOMPARE(Send(pump, "A1400R", Pump::kHomingSeconds), "@");  // 1400 steps at 1400 steps/s
        QCOMPARE(Send(pump, "?", Pump::kHomingSeconds + 0.5), "@700");
        QCOMPARE(Send(pump, "A0R", Pump::kHomingSeconds + 0.5), "H");  // busy: ignored
        QCOMPARE(Send(pump, "N", Pump::kHomingSeconds + 0.5), "B");    // errors while busy are upper case
        QCOMPARE(Send(pump, "?", Pump::kHomingSeconds + 1.0), "`1400");
        QCOMPARE(Send(pump, "V2800A0o3R", 10), "@");
        QCOMPARE(Send(pump, "?8", 10.49), "@1");  // plunger first (0.5 s), then the valve
        QCOMPARE(Send(pump, "?8", 10.5 + Pump::kValveSeconds), "`3");
        QCOMPARE(Send(pump, "M2000R", 20), "@");
        QCOMPARE(Send(pump, "Q", 21.99), "@");
        QCOMPARE(Send(pump, "Q", 22), "`");
    }

    void stopEndsAMoveWhereThePlungerIs() {
        Pump pump(6);
        Send(pump, "W4R", 0);
        Send(pump, "A14000R", 10);  // 10 s
        QCOMPARE(Send(pump, "T", 12.5), "`");
        QCOMPARE(Send(pump, "?", 30), "`3500");
        QCOMPARE(Send(pump, "A0R", 30), "@");
    }

    void aWrongStringChangesNothing() {
        Pump pump(6);
        Send(pump, "W4R", 0);
        QCOMPARE(Send(pump, "V2000A500o9R", 10), "c");
        QCOMPARE(Send(pump, "?", 20), "`0");
        QCOMPARE(Send(pump, "?2", 20), "`1400");
        QCOMPARE(Send(pump, "?8", 20), "`1");
        QCOMPARE(Send(pump, "TA99999R", 20), "c");
    }

    void keptCommandsRunOnALaterR() {
        Pump pump(6);
        QCOMPARE(Send(pump, "W4A2000", 0), "`");  // kept, not run
        QCOMPARE(Send(pump, "?", 1), "`0");
        QCOMPARE(Send(pump, "R", 2), "@");
        QCOMPARE(Send(pump, "?", 100), "`2000");
        QCOMPARE(Send(pump, "R", 101), "`");  // nothing kept any more
    }

    void programsAreSavedListedAndRecalled() {
        Pump pump(6);
        QCOMPARE(Send(pump, "E3", 0), "w");  // nothing to save yet
        QCOMPARE(Send(pump, "?19", 0), "`none");
        Send(pump, "W4A700R", 0);
        QCOMPARE(Send(pump, "E3", 50), "`1");
        QCOMPARE(Send(pump, "E5", 50), "`2");
        QCOMPARE(Send(pump, "?19", 50), "`3,5");
        QCOMPARE(Send(pump, "q3", 50), "`W4A700R");
        QCOMPARE(Send(pump, "A0R", 50), "@");
        QCOMPARE(Send(pump, "r3", 100), "@");
        QCOMPARE(Send(pump, "?", 200), "`700");
        QCOMPARE(Send(pump, "e3", 200), "`3");
        QCOMPARE(Send(pump, "q3", 200), "w");
        QCOMPARE(Send(pump, "!", 200), "`4");
    }

    // Every report number the tool interprets gets a non-empty answer, so none reads as "n/a".
    void queriesAnswerForEveryReportNumber() {
        Pump pump(6);
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

#include <QtTest>

#include "fakes/test_registry.h"
#include "pump.h"

class PumpTest : public QObject {
    Q_OBJECT
private slots:
    void commandsAnswerWithStatusAndData_data();
    void commandsAnswerWithStatusAndData();
    void movesKeepThePumpBusyForStepsOverTopSpeed();
    void stopEndsAMoveWhereThePlungerIs();
    void aWrongStringChangesNothing();
    void keptCommandsRunOnALaterR();
    void programsAreSavedListedAndRecalled();
    void queriesAnswerForEveryReportNumber();
};

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

void PumpTest::commandsAnswerWithStatusAndData_data() {
    QTest::addColumn<int>("ports");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("reply");
    QTest::newRow("fresh pump at 0") << 6 << QStringList{"?"} << "`0";
    QTest::newRow("move before initialising") << 6 << QStringList{"A100R"} << "a";
    QTest::newRow("valve before initialising") << 6 << QStringList{"o2R"} << "g";
    QTest::newRow("absolute move") << 6 << QStringList{"W4R", "A1200R", "?"} << "`1200";
    QTest::newRow("relative moves") << 6 << QStringList{"Z4R", "A100P50d20R", "?"} << "`130";
    QTest::newRow("lower-case moves") << 6 << QStringList{"Y4R", "a300p10D5R", "?"} << "`305";
    QTest::newRow("pick-up past the end") << 6 << QStringList{"W4R", "A47990R", "P11R"} << "l";
    QTest::newRow("dispense below 0") << 6 << QStringList{"W4R", "D1R"} << "l";
    QTest::newRow("absolute out of range") << 6 << QStringList{"W4R", "A48001R"} << "c";
    QTest::newRow("unknown command") << 6 << QStringList{"N"} << "b";
    QTest::newRow("missing number") << 6 << QStringList{"W4R", "AR"} << "c";
    QTest::newRow("valve port") << 6 << QStringList{"W4R", "o5R", "?8"} << "`5";
    QTest::newRow("valve port beyond the valve") << 6 << QStringList{"W4R", "o7R"} << "c";
    QTest::newRow("Z initialises to the last port") << 4 << QStringList{"Z4R", "?8"} << "`4";
    QTest::newRow("output port") << 6 << QStringList{"W4R", "OR", "?8"} << "`2";
    QTest::newRow("bypass on 3-way") << 3 << QStringList{"W4R", "BR", "?8"} << "`3";
    QTest::newRow("bypass elsewhere") << 6 << QStringList{"W4R", "BR"} << "p";
    QTest::newRow("valve moves counted") << 6 << QStringList{"W4R", "o2o3R", "%"} << "`3";
    QTest::newRow("top speed") << 6 << QStringList{"V5000R", "?2"} << "`5000";
    QTest::newRow("speed code") << 6 << QStringList{"S4R", "?2"} << "`2500";
    QTest::newRow("start and stop speed") << 6 << QStringList{"v400c2000R", "?1"} << "`400";
    QTest::newRow("slopes") << 6 << QStringList{"L5l20R", "?30"} << "` 5 20";
    QTest::newRow("speed out of range") << 6 << QStringList{"V39R"} << "c";
    QTest::newRow("last error") << 6 << QStringList{"V39R", "x?"} << "`3";
    QTest::newRow("no error yet") << 6 << QStringList{"x?"} << "`0";
    QTest::newRow("variable set and read") << 6 << QStringList{"z3=77R", "z3"} << "`77";
    QTest::newRow("indirect move") << 6 << QStringList{"W4z2=900R", "A@2R", "?"} << "`900";
    QTest::newRow("indirect value out of range") << 6 << QStringList{"z1=50000R", "W4R", "A@1R"} << "c";
    QTest::newRow("indirect flag number out of range") << 6 << QStringList{"z3=500R", "f@3R"} << "c";
    QTest::newRow("flag set") << 6 << QStringList{"f3sR", "f3"} << "`1";
    QTest::newRow("flag cleared") << 6 << QStringList{"f3sR", "f3-R", "f3"} << "`0";
    QTest::newRow("valve type") << 12 << QStringList{"~v"} << "`11";
    QTest::newRow("comm mode of a DT request") << 6 << QStringList{"~p"} << "`1";
    QTest::newRow("configuration letter unknown") << 6 << QStringList{"~q"} << "c";
    QTest::newRow("query number beyond 30") << 6 << QStringList{"?31"} << "c";
    QTest::newRow("supply") << 6 << QStringList{"*"} << "`120";
    QTest::newRow("no snapshots") << 6 << QStringList{"?29"} << "`-1";
    QTest::newRow("free memory") << 6 << QStringList{"?9"} << "`1536 2048";
}

void PumpTest::commandsAnswerWithStatusAndData() {
    QFETCH(int, ports);
    QFETCH(QStringList, commands);
    QFETCH(QString, reply);
    Pump pump(ports);
    QCOMPARE(Last(pump, commands), reply);
}

void PumpTest::movesKeepThePumpBusyForStepsOverTopSpeed() {
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

void PumpTest::stopEndsAMoveWhereThePlungerIs() {
    Pump pump(6);
    Send(pump, "W4R", 0);
    Send(pump, "A14000R", 10);  // 10 s
    QCOMPARE(Send(pump, "T", 12.5), "`");
    QCOMPARE(Send(pump, "?", 30), "`3500");
    QCOMPARE(Send(pump, "A0R", 30), "@");
}

void PumpTest::aWrongStringChangesNothing() {
    Pump pump(6);
    Send(pump, "W4R", 0);
    QCOMPARE(Send(pump, "V2000A500o9R", 10), "c");
    QCOMPARE(Send(pump, "?", 20), "`0");
    QCOMPARE(Send(pump, "?2", 20), "`1400");
    QCOMPARE(Send(pump, "?8", 20), "`1");
    QCOMPARE(Send(pump, "TA99999R", 20), "c");
}

void PumpTest::keptCommandsRunOnALaterR() {
    Pump pump(6);
    QCOMPARE(Send(pump, "W4A2000", 0), "`");  // kept, not run
    QCOMPARE(Send(pump, "?", 1), "`0");
    QCOMPARE(Send(pump, "R", 2), "@");
    QCOMPARE(Send(pump, "?", 100), "`2000");
    QCOMPARE(Send(pump, "R", 101), "`");  // nothing kept any more
}

void PumpTest::programsAreSavedListedAndRecalled() {
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
void PumpTest::queriesAnswerForEveryReportNumber() {
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

ZR_TEST(PumpTest);
#include "test_pump.moc"

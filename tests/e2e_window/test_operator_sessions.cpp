#include <QListWidget>
#include <QtTest>

#include "fakes/test_registry.h"
#include "live_window.h"

using zr::Control;

// Sessions at the bench: the real window, the real serial adapter, pumpsim on the line.
class OperatorSessionsTest : public QObject {
    Q_OBJECT
private slots:
    void queriesSentFromTheWindowShowTheirReports_data();
    void queriesSentFromTheWindowShowTheirReports();
    void aComposedCommandArrivesOnTheLine();
};

namespace {

QString Shown(LiveWindow& live, Control control) { return QString::fromLatin1(live.text(control).c_str()); }

}  // namespace

void OperatorSessionsTest::queriesSentFromTheWindowShowTheirReports_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("report");
    QTest::newRow("position") << "?" << "Absolute position = 0 Steps";
    QTest::newRow("top speed") << "?2" << "Top speed = 1400Steps/sec";
    QTest::newRow("input 1") << "?4" << "Input #1 is Off (high)";
    QTest::newRow("valve") << "?8" << "Valve is at port A";
    QTest::newRow("baud rate") << "~b" << "Baud rate =  9600";
    QTest::newRow("valve type") << "~v" << "valve type = 6-way distribution";
    QTest::newRow("firmware") << "&" << "Firmware Version = pumpsim 1.0";
    QTest::newRow("supply") << "*" << "Device supply =  24 Volts";
}

void OperatorSessionsTest::queriesSentFromTheWindowShowTheirReports() {
    QFETCH(QString, command);
    QFETCH(QString, report);
    LiveWindow live;
    QVERIFY2(live.start(), qPrintable(live.sim.error()));
    live.type(command);
    live.click(Control::cmdXmit);
    QCOMPARE(Shown(live, Control::lblReply), report);
    QCOMPARE(Shown(live, Control::lblStatus), QString("(Ready) OK"));
    QCOMPARE(live.boxes.seen, QStringList());
    QCOMPARE(Shown(live, Control::text1), command);
}

// Cedar's first line composes an absolute move; sent after an initialization, it reaches the
// pump, which moves the plunger there.
void OperatorSessionsTest::aComposedCommandArrivesOnTheLine() {
    LiveWindow live;
    QVERIFY2(live.start(), qPrintable(live.sim.error()));
    live.type("Z4R");
    live.click(Control::cmdXmit);
    live.type("Q");
    QTRY_VERIFY_WITH_TIMEOUT((live.click(Control::cmdXmit), Shown(live, Control::lblStatus).startsWith("(Ready)")), 5000);

    live.click(Control::cmdSetup);
    live.choose(Control::cboDevice, "Cedar");
    live.click(Control::cmdExitSetup);
    live.click(Control::cmdListCmd);
    qobject_cast<QListWidget*>(live.window().widget(Control::lstCmd))->setCurrentRow(0);
    live.type("");
    live.boxes.answers << "700";
    live.click(Control::cmdAddCmd);
    live.click(Control::cmdExitCmdList);
    QCOMPARE(live.boxes.seen.size(), 1);
    QVERIFY2(live.boxes.seen[0].startsWith("Enter Number: Enter a number from   0 to 48000\r\n"),
             qPrintable(live.boxes.seen[0]));
    QCOMPARE(Shown(live, Control::text1), QString("A700"));

    QTest::keyClick(live.window().widget(Control::text1), Qt::Key_End);
    QTest::keyClicks(live.window().widget(Control::text1), "R");
    live.click(Control::cmdXmit);
    QVERIFY2(live.sim.transcript().contains("rx 2F 31 41 37 30 30 52 0D"), qPrintable(live.sim.transcript()));
    QCOMPARE(Shown(live, Control::lblStatus), QString("(Busy ) OK"));  // the plunger is moving
    QTRY_COMPARE_WITH_TIMEOUT((live.click(Control::cmdPosition), Shown(live, Control::lblSyringe)),
                              QString("syringe = 700"), 5000);
    QCOMPARE(live.boxes.seen.size(), 1);
}

ZR_TEST(OperatorSessionsTest);
#include "test_operator_sessions.moc"

#include <QListWidget>
#include <QTest>

#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "live_window.h"

using zr::Control;

// Sessions at the bench: the real window, the real serial adapter, pumpsim on the line.
class OperatorSessionsTest : public QObject {
    Q_OBJECT
private slots:
    void aSendShowsWhatCameBack_data() { zr::test::AddTableRows(QFINDTESTDATA("exchanges.txt")); }
    void aSendShowsWhatCameBack();
    void aReplyFarLongerThanUsualIsShownWhole_data();
    void aReplyFarLongerThanUsualIsShownWhole();
    void aComposedCommandArrivesOnTheLine();
};

namespace {

void ChooseLink(LiveWindow& live, const QString& protocol, const QString& address) {
    live.click(Control::cmdSetup);
    live.choose(Control::cboProtocol, protocol);
    live.click(Control::cmdExitSetup);
    live.choose(Control::cboAddress, address);
    QTRY_COMPARE(live.boxes.seen.size(), int(protocol == "OEM") + int(address.contains(',')));
    live.boxes.seen.clear();
}

}  // namespace

void OperatorSessionsTest::aSendShowsWhatCameBack() {
    QFETCH(QByteArrayList, row);
    const auto field = [&](int i) { return QString::fromLatin1(row[i]); };
    LiveWindow live;
    QVERIFY2(live.start(field(1).split(' ', Qt::SkipEmptyParts)), qPrintable(live.sim.error()));
    ChooseLink(live, field(2), field(3));
    const QByteArray programs = live.programs();
    live.send(field(4));

    QCOMPARE(live.shown(Control::lblStatus), field(5));
    QCOMPARE(live.shown(Control::lblReply), field(6));
    QCOMPARE(live.shown(Control::lblReplyCode), field(7));
    QTest::qWait(field(8).isEmpty() ? 0 : 3000);
    QCOMPARE(live.boxes.seen, field(8).isEmpty() ? QStringList() : QStringList{field(8)});
    QCOMPARE(live.shown(Control::text1), field(4));
    QCOMPARE(live.programs(), programs);
}

void OperatorSessionsTest::aReplyFarLongerThanUsualIsShownWhole_data() {
    QTest::addColumn<QString>("protocol");
    QTest::newRow("DT") << "DT";
    QTest::newRow("OEM") << "OEM";
}

// pumpsim lengthens the data of every reply by 40 000 characters "0123456789..." before the
// position, the OEM checksum made to cover them: more than the 16-bit count of waiting
// characters can hold.
void OperatorSessionsTest::aReplyFarLongerThanUsualIsShownWhole() {
    QFETCH(QString, protocol);
    LiveWindow live;
    QVERIFY2(live.start({"--long", "40000"}), qPrintable(live.sim.error()));
    ChooseLink(live, protocol, "1");
    live.send("?");

    QString data;
    for (int i = 0; i < 40000; ++i) data += QChar('0' + i % 10);
    data += '0';
    QCOMPARE(live.shown(Control::lblReplyCode), data);
    QCOMPARE(live.shown(Control::lblReply), "Absolute position = " + data + " Steps");
    QCOMPARE(live.shown(Control::lblStatus), QString("(Ready) OK"));
    QCOMPARE(live.boxes.seen, QStringList());
}

// Cedar's first line composes an absolute move; sent after an initialization, it reaches the
// pump, which moves the plunger there.
void OperatorSessionsTest::aComposedCommandArrivesOnTheLine() {
    LiveWindow live;
    QVERIFY2(live.start(), qPrintable(live.sim.error()));
    live.send("Z4R");
    live.type("Q");
    QTRY_VERIFY_WITH_TIMEOUT(
        (live.click(Control::cmdXmit), live.shown(Control::lblStatus).startsWith("(Ready)")), 5000);

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
    QCOMPARE(live.shown(Control::text1), QString("A700"));

    QTest::keyClick(live.window().widget(Control::text1), Qt::Key_End);
    QTest::keyClicks(live.window().widget(Control::text1), "R");
    live.click(Control::cmdXmit);
    QVERIFY2(live.sim.transcript().contains("rx 2F 31 41 37 30 30 52 0D"), qPrintable(live.sim.transcript()));
    QCOMPARE(live.shown(Control::lblStatus), QString("(Busy ) OK"));  // the plunger is moving
    QTRY_COMPARE_WITH_TIMEOUT((live.click(Control::cmdPosition), live.shown(Control::lblSyringe)),
                              QString("syringe = 700"), 5000);
    QCOMPARE(live.boxes.seen.size(), 1);
}

ZR_TEST(OperatorSessionsTest);
#include "test_operator_sessions.moc"

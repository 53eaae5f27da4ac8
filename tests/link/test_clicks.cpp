#include <QtTest>

#include "fakes/test_registry.h"
#include "link/send_stop.h"
#include "link_rig.h"
#include "reply/position_display.h"

using namespace zr;

namespace {

void Click(LinkRig& rig, char click) {
    if (click == 'S') cmdXmit_Click(rig.m);
    if (click == 'T') cmdStop_Click(rig.m);
    if (click == 'P') cmdPosition_Click(rig.m);
}

QByteArray Commands(const LinkRig& rig) {
    QByteArrayList commands;
    for (const std::string& frame : rig.serial.frames)
        commands << QByteArray::fromStdString(frame.substr(2, frame.size() - 3));
    return commands.join(' ');
}

}  // namespace

// Send (S), Stop (T) and Show Position (P), the position display's repetition, and clicks
// that arrive while a transaction is running.
class ClicksTest : public QObject {
    Q_OBJECT
private slots:
    void clicksAndRepetitions_data() {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<int>("box");              // chkReport
        QTest::addColumn<QByteArray>("clicks");    // pressed where events first run
        QTest::addColumn<int>("uncheckAt");        // chkReport unchecked once this many frames went out
        QTest::addColumn<QByteArray>("statuses");  // the pump's status in each position cycle
        QTest::addColumn<QByteArray>("commands");
        auto row = [](const char* name, const char* start, int box, const char* clicks, int uncheckAt,
                      const char* statuses, const char* commands) {
            QTest::newRow(name) << QByteArray(start) << box << QByteArray(clicks) << uncheckAt
                                << QByteArray(statuses) << QByteArray(commands);
        };
        row("one position cycle", "P", 0, "", -1, "`", "? ?8");
        row("busy cycles repeat without reading the box", "P", 1, "", 0, "@@@`", "? ?8 ? ?8 ? ?8 ? ?8 ? ?8");
        row("unchecking stops after one more cycle", "P", 1, "", 6, "`", "? ?8 ? ?8 ? ?8 ? ?8");
        row("an error status ends the busy repetition", "P", 1, "", 1, "I", "? ?8 ? ?8");
        row("Send and Stop during a Send wait their turn", "S", 0, "ST", -1, "`", "W4R W4R T\r T\r");
        row("Show Position during a Send is refused", "S", 0, "P", -1, "`", "W4R");
        row("Stop between cycles runs and the cycle goes on", "P", 0, "T", -1, "`", "? T\r T\r ?8");
        row("Stop during a repeating display", "P", 1, "T", 4, "`", "? T\r T\r ?8 ? ?8");
        row("Show Position during a display is refused", "P", 1, "P", 2, "`", "? ?8 ? ?8");
        row("Stop with the box checked shows the position", "T", 1, "", 3, "`", "T\r T\r ? ?8 ? ?8");
        row("Stop pressed during a Stop runs after it", "T", 0, "T", -1, "`", "T\r T\r T\r T\r");
        row("Send between cycles sends the command line", "P", 1, "S", 3, "`", "? W4R ?8 ? ?8");
    }
    void clicksAndRepetitions() {
        QFETCH(QByteArray, start);
        QFETCH(int, box);
        QFETCH(QByteArray, clicks);
        QFETCH(int, uncheckAt);
        QFETCH(QByteArray, statuses);
        QFETCH(QByteArray, commands);
        LinkRig rig;
        rig.pump(statuses.toStdString());
        rig.form.setText(Control::text1, "W4R");
        rig.form.setValue(Control::chkReport, box);
        bool clicked = false;
        rig.events.onProcess = [&] {
            if (int(rig.serial.frames.size()) >= uncheckAt && uncheckAt >= 0)
                rig.form.setValue(Control::chkReport, 0);
            if (clicked) return;
            clicked = true;
            const std::size_t before = rig.serial.frames.size();
            const bool open = rig.serial.portOpen();
            for (char click : clicks) Click(rig, click);
            QCOMPARE(rig.serial.frames.size(), before);  // nothing written under the running read
            QCOMPARE(rig.serial.portOpen(), open);
        };
        Click(rig, start[0]);
        QCOMPARE(Commands(rig), commands);
        QCOMPARE(rig.serial.usedWhileClosed, 0);
        QCOMPARE(rig.m.CmdString, "W4R");
        QVERIFY(rig.m.PendingClicks.empty());
        QVERIFY(!rig.m.PositionShowing);
        if (start == "P" && statuses != "I") {  // the display shows its own replies, never the Send's
            QCOMPARE(rig.form.text(Control::lblSyringe), "syringe = 0");
            QCOMPARE(rig.form.text(Control::lblValve), "port = A");
            QCOMPARE(rig.m.SilentReply, 1);
        }
    }

    void theDisplayLeavesTheReplyFieldsToTheSend() {
        LinkRig rig;
        rig.pump();
        rig.form.setText(Control::lblReply, "kept");
        bool sent = false;
        rig.events.onProcess = [&] {
            if (!std::exchange(sent, true)) cmdXmit_Click(rig.m);
        };
        cmdPosition_Click(rig.m);
        QCOMPARE(rig.form.text(Control::lblReplyCode), "done");  // the Send's reply
        QCOMPARE(rig.form.text(Control::lblSyringe), "syringe = 0");
    }

    void editOfTheCommandLineDuringTheDisplayIsKept() {
        LinkRig rig;
        rig.pump();
        rig.form.setText(Control::text1, "W4R");
        rig.events.onProcess = [&] {
            if (rig.serial.frames.size() == 1) rig.form.setText(Control::text1, "P200R");
        };
        cmdPosition_Click(rig.m);
        QCOMPARE(Commands(rig), "? ?8");  // the cycle kept its queries
        QCOMPARE(rig.m.CmdString, "P200R");
        rig.events.onProcess = nullptr;
        cmdXmit_Click(rig.m);
        QCOMPARE(rig.serial.frames.back(), "/1P200R\r");
    }

    void showPositionBeforeAnySendReadsTheCombos() {
        LinkRig rig;
        rig.m.Protocol.clear();
        rig.m.AddrChar.clear();
        rig.m.BaudRate.clear();
        rig.form.setListIndex(Control::cboAddress, 1);
        rig.pump();
        cmdPosition_Click(rig.m);
        QCOMPARE(rig.serial.frames.front(), "/2?\r");
        QCOMPARE(rig.serial.settings, "9600,n,8,1");
    }

    void portThatCannotOpenEndsTheRepetition() {
        LinkRig rig;
        rig.m.StatusChar = "@";
        rig.form.setValue(Control::chkReport, 1);
        rig.serial.failOpening("no such file or directory");
        ShowPosition(rig.m);
        QCOMPARE(rig.dialogs.messages.size(), std::size_t(1));
    }
};

ZR_TEST(ClicksTest);
#include "test_clicks.moc"

#include <QtTest>

#include "fakes/test_registry.h"
#include "link/send_stop.h"
#include "pump_script.h"
#include "reply/position_display.h"

class ReentryTest : public QObject {
    Q_OBJECT
private slots:
    void clicksDuringATransactionNeverDisturbIt_data();
    void clicksDuringATransactionNeverDisturbIt();
    void sendBetweenCyclesLeavesTheDisplayItsOwnReply();
    void editOfTheCommandLineDuringTheDisplayIsKept();
};

using namespace zr;

namespace {

// A ready pump at position 0 with the valve at port 1; any other command answers "done".
void ReadyPump(LinkRig& rig) {
    rig.serial.onOutput = [&rig](const std::string& frame) {
        const std::string command = frame.substr(2, frame.size() - 3);
        const std::string data = command == "?" ? "0" : command == "?8" ? "1" : "done";
        rig.serial.arrive(LinkRig::dtReply('`', data), 0.05);
    };
}

void Click(LinkRig& rig, QChar click) {
    if (click == 'S') cmdXmit_Click(rig.m);
    if (click == 'T') cmdStop_Click(rig.m);
    if (click == 'P') cmdPosition_Click(rig.m);
}

}  // namespace

void ReentryTest::clicksDuringATransactionNeverDisturbIt_data() {
    QTest::addColumn<QChar>("start");     // S Send, T Stop, P Show Position
    QTest::addColumn<int>("box");         // chkReport
    QTest::addColumn<QString>("clicks");  // pressed at the first point where events run
    QTest::addColumn<int>("uncheckAt");   // the box is unchecked once this many frames went out
    QTest::addColumn<QStringList>("commands");
    QTest::newRow("Send and Stop during a Send wait their turn")
        << QChar('S') << 0 << "ST" << -1 << QStringList{"W4R", "W4R", "T\r", "T\r"};
    QTest::newRow("Show Position during a Send is refused")
        << QChar('S') << 0 << "P" << -1 << QStringList{"W4R"};
    QTest::newRow("Stop during a repeating display sends both stops between queries")
        << QChar('P') << 1 << "T" << 4 << QStringList{"?", "T\r", "T\r", "?8", "?", "?8"};
    QTest::newRow("Show Position during a display is refused")
        << QChar('P') << 1 << "P" << 2 << QStringList{"?", "?8", "?", "?8"};
    QTest::newRow("Stop with the box checked sends both stops before the display")
        << QChar('T') << 1 << "" << 3 << QStringList{"T\r", "T\r", "?", "?8", "?", "?8"};
    QTest::newRow("Stop pressed during a Stop runs after it")
        << QChar('T') << 0 << "T" << -1 << QStringList{"T\r", "T\r", "T\r", "T\r"};
}

void ReentryTest::clicksDuringATransactionNeverDisturbIt() {
    QFETCH(QChar, start);
    QFETCH(int, box);
    QFETCH(QString, clicks);
    QFETCH(int, uncheckAt);
    QFETCH(QStringList, commands);
    LinkRig rig;
    ReadyPump(rig);
    rig.form.setText(Control::text1, "W4R");
    rig.form.setValue(Control::chkReport, box);
    bool clicked = false;
    rig.events.onProcess = [&] {
        if (static_cast<int>(rig.serial.frames.size()) == uncheckAt) rig.form.setValue(Control::chkReport, 0);
        if (clicked) return;
        clicked = true;
        const std::size_t before = rig.serial.frames.size();
        const bool open = rig.serial.portOpen();
        for (QChar click : clicks) Click(rig, click);
        QCOMPARE(rig.serial.frames.size(), before);  // nothing written under the running read
        QCOMPARE(rig.serial.portOpen(), open);
    };
    Click(rig, start);

    std::vector<std::string> expected;
    for (const QString& command : commands) expected.push_back("/1" + command.toStdString() + "\r");
    QCOMPARE(rig.serial.frames, expected);
    QCOMPARE(rig.serial.usedWhileClosed, 0);
    QCOMPARE(rig.m.CmdString, std::string("W4R"));
    QVERIFY(rig.m.PendingClicks.empty());
    QVERIFY(!rig.m.PositionShowing);
}

void ReentryTest::sendBetweenCyclesLeavesTheDisplayItsOwnReply() {
    LinkRig rig;
    ReadyPump(rig);
    rig.form.setText(Control::text1, "A100R");
    rig.form.setValue(Control::chkReport, 1);
    bool sent = false;
    rig.events.onProcess = [&] {
        if (!sent) {
            sent = true;
            cmdXmit_Click(rig.m);
        }
        if (rig.serial.frames.size() == 3) rig.form.setValue(Control::chkReport, 0);
    };
    cmdPosition_Click(rig.m);
    QCOMPARE(rig.serial.frames,
             (std::vector<std::string>{"/1?\r", "/1A100R\r", "/1?8\r", "/1?\r", "/1?8\r"}));
    QCOMPARE(rig.form.text(Control::lblReplyCode), std::string("done"));  // the Send's reply
    QCOMPARE(rig.form.text(Control::lblSyringe), std::string("syringe = 0"));
    QCOMPARE(rig.form.text(Control::lblValve), std::string("port = A"));
    QCOMPARE(rig.m.SilentReply, int16_t(1));
    QCOMPARE(rig.m.CmdString, std::string("A100R"));
}

void ReentryTest::editOfTheCommandLineDuringTheDisplayIsKept() {
    LinkRig rig;
    ReadyPump(rig);
    rig.form.setText(Control::text1, "W4R");
    rig.events.onProcess = [&] {
        if (rig.serial.frames.size() == 1) rig.form.setText(Control::text1, "P200R");
    };
    cmdPosition_Click(rig.m);
    QCOMPARE(rig.serial.frames, (std::vector<std::string>{"/1?\r", "/1?8\r"}));  // the cycle kept its queries
    QCOMPARE(rig.m.CmdString, std::string("P200R"));
    rig.events.onProcess = nullptr;
    cmdXmit_Click(rig.m);
    QCOMPARE(rig.serial.frames.back(), std::string("/1P200R\r"));
}

ZR_TEST(ReentryTest);
#include "test_reentry.moc"

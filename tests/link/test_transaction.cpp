#include <QtTest>

#include "fakes/test_registry.h"
#include "link/transaction.h"
#include "pump_script.h"

class TransactionTest : public QObject {
    Q_OBJECT
private slots:
    void promptReplyIsDecodedShownAndClosesThePort();
    void waitsSleepATenthOfASecondAndNeverSpin();
    void groupAddressReadsNothingAndLeavesThePortOpen();
    void tooFewCharactersLeaveTheTimerRunning();
    void badOemChecksumShowsNothing();
    void shortOemReplyIsShownRaw();
    void silentReplyLeavesTheFields();
    void dribbledReplyIsReadWholeAfterItSettles();
    void lateCharactersOfAnUnansweredExchangeComeFirst();
    void portThatCannotOpenIsReportedAndNothingIsSent();
};

using namespace zr;

namespace {

std::string Text(LinkRig& rig, Control c) { return rig.form.text(c); }

}  // namespace

void TransactionTest::promptReplyIsDecodedShownAndClosesThePort() {
    LinkRig rig;
    rig.m.CmdString = "?";
    rig.answer(LinkRig::dtReply('`', "1200"));
    XmitCommand(rig.m);
    QCOMPARE(rig.serial.frames, std::vector<std::string>{"/1?\r"});
    QCOMPARE(rig.m.StatusChar, std::string("`"));
    QCOMPARE(Text(rig, Control::lblReplyCode), std::string("1200"));
    QCOMPARE(Text(rig, Control::lblStatCode), rig.m.StatusCodeText);
    QCOMPARE(Text(rig, Control::lblReply), rig.m.ReplyText);
    QVERIFY(!rig.serial.portOpen());
    QVERIFY(!rig.timer.enabled());
    QCOMPARE(rig.timer.interval(), 2000);
    QCOMPARE(rig.timer.enableCount, 1);
    QCOMPARE(rig.serial.settings, std::string("9600,n,8,1"));
    QCOMPARE(rig.serial.commPort, int16_t(1));
    QVERIFY(rig.events.count >= 2);  // once per settle pass and once at the end
}

void TransactionTest::waitsSleepATenthOfASecondAndNeverSpin() {
    LinkRig rig;
    rig.answer(LinkRig::dtReply('`', ""));
    XmitCommand(rig.m);
    // the wait after sending, then one settle pass that sees the count grow, then none more
    QCOMPARE(rig.clock.sleeps, (std::vector<double>{0.1, 0.1}));
}

void TransactionTest::groupAddressReadsNothingAndLeavesThePortOpen() {
    for (const char* protocol : {"DT", "OEM"}) {
        LinkRig rig;
        rig.m.Protocol = protocol;
        rig.m.AddrChar = "_";
        rig.m.AddrMode = "m";
        rig.answer(LinkRig::dtReply('`', "1"));
        XmitCommand(rig.m);
        QCOMPARE(Text(rig, Control::lblReply), std::string("Multiple address mode - No replies"));
        QCOMPARE(Text(rig, Control::lblReplyCode), std::string("none"));
        QCOMPARE(Text(rig, Control::lblStatCode), std::string());
        QCOMPARE(Text(rig, Control::lblStatus), std::string());
        QCOMPARE(rig.serial.inputCount, 0);
        QVERIFY(rig.serial.portOpen());
        QVERIFY(!rig.timer.enabled());
    }
}

void TransactionTest::tooFewCharactersLeaveTheTimerRunning() {
    LinkRig rig;
    rig.form.setText(Control::lblReply, "old");
    rig.answer("/0`");
    XmitCommand(rig.m);
    QCOMPARE(rig.m.ErrNum, int16_t(2));
    QCOMPARE(rig.m.ErrDetail, std::string("Comm received too few bytes"));
    QCOMPARE(Text(rig, Control::lblReply), std::string());
    QCOMPARE(Text(rig, Control::lblReplyCode), std::string("none"));
    QCOMPARE(rig.serial.inputCount, 0);
    QVERIFY(rig.serial.portOpen());
    QVERIFY(rig.timer.enabled());
    QVERIFY(rig.dialogs.messages.empty());
}

void TransactionTest::badOemChecksumShowsNothing() {
    LinkRig rig;
    rig.m.Protocol = "OEM";
    rig.answer(std::string("\xff\x02" "0`12\x03S\x00", 9));
    XmitCommand(rig.m);
    QCOMPARE(rig.m.ErrNum, int16_t(3));
    QCOMPARE(rig.m.ErrDetail, std::string("OEM comm checksum error"));
    QCOMPARE(Text(rig, Control::lblStatCode), std::string());
    QCOMPARE(Text(rig, Control::lblReply), std::string());
    QCOMPARE(Text(rig, Control::lblReplyCode), std::string("none"));
    QVERIFY(!rig.serial.portOpen());
    QVERIFY(!rig.timer.enabled());
}

void TransactionTest::shortOemReplyIsShownRaw() {
    LinkRig rig;
    rig.m.Protocol = "OEM";
    rig.answer("\xff\x02" "0`\x03");
    XmitCommand(rig.m);
    QCOMPARE(rig.m.ErrNum, int16_t(0));
    QCOMPARE(Text(rig, Control::lblReplyCode), std::string("\xff\x02" "0`\x03"));
    QCOMPARE(Text(rig, Control::lblStatCode), std::string());
    QVERIFY(!rig.serial.portOpen());
}

void TransactionTest::silentReplyLeavesTheFields() {
    LinkRig rig;
    for (Control c : {Control::lblStatCode, Control::lblStatus, Control::lblReply, Control::lblReplyCode})
        rig.form.setText(c, "before");
    rig.m.SilentReply = 1;
    rig.answer(LinkRig::dtReply('@', "300"));
    XmitCommand(rig.m);
    QCOMPARE(rig.m.ReplyData, std::string("300"));
    QCOMPARE(rig.m.StatusChar, std::string("@"));
    for (Control c : {Control::lblStatCode, Control::lblStatus, Control::lblReply, Control::lblReplyCode})
        QCOMPARE(Text(rig, c), std::string("before"));
}

void TransactionTest::dribbledReplyIsReadWholeAfterItSettles() {
    LinkRig rig;
    const std::string reply = LinkRig::dtReply('`', "123456789");  // 16 characters
    rig.serial.onOutput = [&](const std::string&) { rig.serial.dribble(reply, 0.0, 0.021); };
    XmitCommand(rig.m);
    QCOMPARE(rig.serial.inputCount, 1);
    QCOMPARE(Text(rig, Control::lblReplyCode), std::string("123456789"));
    // the wait after sending, three passes that see the count grow, one that sees it settled
    QCOMPARE(rig.clock.sleeps.size(), std::size_t(5));
}

void TransactionTest::lateCharactersOfAnUnansweredExchangeComeFirst() {
    LinkRig rig;
    XmitCommand(rig.m);  // nobody answers: the port stays open
    QCOMPARE(rig.m.ErrNum, int16_t(2));
    rig.serial.arrive("xyz");
    rig.answer(LinkRig::dtReply('`', "5"));
    XmitCommand(rig.m);
    QCOMPARE(rig.serial.openCount, 1);  // the open port was used again
    QCOMPARE(rig.m.StatusChar, std::string("z"));
    QCOMPARE(Text(rig, Control::lblReplyCode), std::string("/0`5"));
}

void TransactionTest::portThatCannotOpenIsReportedAndNothingIsSent() {
    LinkRig rig;
    rig.serial.failOpening("permission denied");
    XmitCommand(rig.m);
    QVERIFY(rig.serial.frames.empty());
    QVERIFY(!rig.timer.enabled());
    QCOMPARE(rig.timer.enableCount, 0);
    QVERIFY(rig.m.PortFailed);
    QCOMPARE(rig.dialogs.messages.size(), std::size_t(1));
    QCOMPARE(rig.dialogs.messages[0].text, std::string("Cannot open Com1: permission denied"));
    QCOMPARE(rig.dialogs.messages[0].icon, MessageIcon::Critical);
    QCOMPARE(rig.dialogs.messages[0].title, std::string("Comm Error"));
}

ZR_TEST(TransactionTest);
#include "test_transaction.moc"

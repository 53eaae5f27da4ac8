#include <QtTest>

#include "fakes/test_registry.h"
#include "link/send_stop.h"
#include "pump_script.h"
#include "reply/position_display.h"

class PositionTest : public QObject {
    Q_OBJECT
private slots:
    void oneCycleShowsSyringeAndPortAndRestoresTheCommand();
    void busyPumpRepeatsWithoutReadingTheBox();
    void uncheckingStopsAfterExactlyOneMoreCycle();
    void errorWhileBusyEndsTheInnerRepetition();
    void stopBetweenCyclesRunsAndTheCycleGoesOn();
    void portThatCannotOpenEndsTheRepetition();
    void showPositionBeforeAnySendReadsTheCombos();
};

using namespace zr;

namespace {

// A pump that reports `moves` busy cycles ("@") before it is ready, at position 0, port A.
void BusyPump(LinkRig& rig, int& busyReplies) {
    rig.serial.onOutput = [&rig, &busyReplies](const std::string& frame) {
        const char status = busyReplies > 0 ? '@' : '`';
        const bool valve = frame.find("?8") != std::string::npos;
        if (valve && busyReplies > 0) --busyReplies;
        rig.serial.arrive(LinkRig::dtReply(status, valve ? "1" : "0"), 0.05);
    };
}

std::size_t Cycles(const LinkRig& rig) { return rig.serial.frames.size() / 2; }

}  // namespace

void PositionTest::oneCycleShowsSyringeAndPortAndRestoresTheCommand() {
    LinkRig rig;
    int busy = 0;
    BusyPump(rig, busy);
    rig.m.CmdString = "A100R";
    rig.form.setText(Control::lblReply, "kept");
    cmdPosition_Click(rig.m);
    QCOMPARE(rig.serial.frames, (std::vector<std::string>{"/1?\r", "/1?8\r"}));
    QCOMPARE(rig.form.text(Control::lblSyringe), std::string("syringe = 0"));
    QCOMPARE(rig.form.text(Control::lblValve), std::string("port = A"));
    QCOMPARE(rig.m.CmdString, std::string("A100R"));
    QCOMPARE(rig.form.text(Control::lblReply), std::string("kept"));
    QCOMPARE(rig.m.SilentReply, int16_t(1));
}

void PositionTest::busyPumpRepeatsWithoutReadingTheBox() {
    LinkRig rig;
    int busy = 3;
    BusyPump(rig, busy);
    rig.form.setValue(Control::chkReport, 1);
    // the box is unchecked as soon as the first cycle starts: busy cycles go on regardless
    rig.events.onProcess = [&] { rig.form.setValue(Control::chkReport, 0); };
    ShowPosition(rig.m);
    // three busy cycles, the ready one, then the reading finds the box unchecked: one more
    QCOMPARE(Cycles(rig), std::size_t(5));
}

void PositionTest::uncheckingStopsAfterExactlyOneMoreCycle() {
    LinkRig rig;
    int busy = 0;
    BusyPump(rig, busy);
    rig.form.setValue(Control::chkReport, 1);
    rig.events.onProcess = [&] {
        if (rig.serial.frames.size() == 6) rig.form.setValue(Control::chkReport, 0);
    };
    ShowPosition(rig.m);
    QCOMPARE(Cycles(rig), std::size_t(4));
}

void PositionTest::errorWhileBusyEndsTheInnerRepetition() {
    LinkRig rig;
    rig.answer(LinkRig::dtReply('I', "0"));
    rig.form.setValue(Control::chkReport, 1);
    int readings = 0;
    rig.events.onProcess = [&] {
        if (++readings == 2) rig.form.setValue(Control::chkReport, 0);
    };
    ShowPosition(rig.m);
    QCOMPARE(Cycles(rig), std::size_t(2));
}

void PositionTest::stopBetweenCyclesRunsAndTheCycleGoesOn() {
    LinkRig rig;
    int busy = 0;
    BusyPump(rig, busy);
    rig.m.CmdString = "P100R";
    bool pressed = false;
    rig.events.onProcess = [&] {
        if (!pressed) {
            pressed = true;
            cmdStop_Click(rig.m);
        }
    };
    ShowPosition(rig.m);
    QCOMPARE(rig.serial.frames,
             (std::vector<std::string>{"/1?\r", "/1T\r\r", "/1T\r\r", "/1?8\r"}));
    QCOMPARE(rig.form.text(Control::lblSyringe), std::string("syringe = 0"));
    QCOMPARE(rig.form.text(Control::lblValve), std::string("port = A"));
    QCOMPARE(rig.m.CmdString, std::string("P100R"));
}

void PositionTest::portThatCannotOpenEndsTheRepetition() {
    LinkRig rig;
    rig.m.StatusChar = "@";
    rig.form.setValue(Control::chkReport, 1);
    rig.serial.failOpening("no such file or directory");
    ShowPosition(rig.m);
    QCOMPARE(rig.dialogs.messages.size(), std::size_t(1));
}

void PositionTest::showPositionBeforeAnySendReadsTheCombos() {
    LinkRig rig;
    rig.m.Protocol.clear();
    rig.m.AddrChar.clear();
    rig.m.BaudRate.clear();
    rig.form.setListIndex(Control::cboAddress, 1);
    int busy = 0;
    BusyPump(rig, busy);
    cmdPosition_Click(rig.m);
    QCOMPARE(rig.serial.frames.front(), std::string("/2?\r"));
    QCOMPARE(rig.serial.settings, std::string("9600,n,8,1"));
}

ZR_TEST(PositionTest);
#include "test_position.moc"

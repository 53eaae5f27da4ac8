#include <QtTest>

#include "fakes/test_registry.h"
#include "link/send_stop.h"
#include "pump_script.h"

class SendStopTest : public QObject {
    Q_OBJECT
private slots:
    void sendTakesTheLinkSettingsFromTheCombos_data();
    void sendTakesTheLinkSettingsFromTheCombos();
    void changingThePortClosesAnOpenPortFirst();
    void baudRateWaitsForThePortToBeClosed();
    void portPreparedOnlyWhileClosed();
    void autoBoxDecidesWhatHappensToThePositionFields();
    void stopSendsTwoStopsAndLeavesTheCommandLine();
    void emptyCommandLineSendsAnEmptyCommand();
    void timeoutBoxIsShownOnce();
    void typedPortNameGivesPortZero();
};

using namespace zr;

void SendStopTest::sendTakesTheLinkSettingsFromTheCombos_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<int>("baud");
    QTest::addColumn<QString>("addrChar");
    QTest::addColumn<QString>("addrMode");
    QTest::addColumn<QString>("protocolName");
    QTest::addColumn<QString>("baudRate");
    QTest::newRow("defaults") << 0 << 0 << 2 << "1" << "s" << "DT" << "9600";
    QTest::newRow("pump F, OEM, 38400") << 14 << 1 << 0 << "?" << "s" << "OEM" << "38400";
    QTest::newRow("ALL, 1200") << 26 << 0 << 5 << "_" << "m" << "DT" << "1200";
    QTest::newRow("no selection keeps address and baud") << -1 << -1 << -1 << "1" << "s" << "OEM" << "9600";
}

void SendStopTest::sendTakesTheLinkSettingsFromTheCombos() {
    QFETCH(int, address);
    QFETCH(int, protocol);
    QFETCH(int, baud);
    QFETCH(QString, addrChar);
    QFETCH(QString, addrMode);
    QFETCH(QString, protocolName);
    QFETCH(QString, baudRate);
    LinkRig rig;
    rig.form.setEnabled(Control::cmdEdit, true);
    rig.form.setListIndex(Control::cboAddress, address);
    rig.form.setListIndex(Control::cboProtocol, protocol);
    rig.form.setListIndex(Control::cboBaud, baud);
    rig.m.SilentReply = 1;
    cmdXmit_Click(rig.m);
    QVERIFY(!rig.form.enabled(Control::cmdEdit));
    QCOMPARE(QString::fromStdString(rig.m.AddrChar), addrChar);
    QCOMPARE(QString::fromStdString(rig.m.AddrMode), addrMode);
    QCOMPARE(QString::fromStdString(rig.m.Protocol), protocolName);
    QCOMPARE(QString::fromStdString(rig.m.BaudRate), baudRate);
    QCOMPARE(rig.m.SilentReply, int16_t(0));
    QCOMPARE(rig.serial.frames.size(), std::size_t(1));
}

void SendStopTest::changingThePortClosesAnOpenPortFirst() {
    LinkRig rig;
    cmdXmit_Click(rig.m);  // unanswered: Com1 stays open
    QVERIFY(rig.serial.portOpen());
    rig.form.setListIndex(Control::cboPort, 1);
    cmdXmit_Click(rig.m);
    QCOMPARE(rig.serial.closeCount, 1);
    QCOMPARE(rig.m.PortNum, int16_t(2));
    QCOMPARE(rig.serial.commPort, int16_t(2));
}

void SendStopTest::baudRateWaitsForThePortToBeClosed() {
    LinkRig rig;
    cmdXmit_Click(rig.m);  // unanswered: the port stays open at 9600
    rig.form.setListIndex(Control::cboBaud, 1);
    rig.answer(LinkRig::dtReply('`', ""));
    cmdXmit_Click(rig.m);
    QCOMPARE(rig.serial.settings, std::string("9600,n,8,1"));
    QVERIFY(!rig.serial.portOpen());  // the complete reply closed it
    cmdXmit_Click(rig.m);
    QCOMPARE(rig.serial.settings, std::string("19200,n,8,1"));
}

void SendStopTest::portPreparedOnlyWhileClosed() {
    LinkRig rig;
    cmdXmit_Click(rig.m);
    cmdXmit_Click(rig.m);
    const auto setups = std::count(rig.serial.log.begin(), rig.serial.log.end(), std::string("Handshaking=0"));
    QCOMPARE(setups, 1);
}

void SendStopTest::autoBoxDecidesWhatHappensToThePositionFields() {
    for (int value : {0, 2}) {
        LinkRig rig;
        rig.form.setText(Control::lblSyringe, "syringe = 5");
        rig.form.setText(Control::lblValve, "port = A");
        rig.form.setValue(Control::chkReport, value);
        cmdXmit_Click(rig.m);
        const std::string expected = value == 0 ? "" : "syringe = 5";
        QCOMPARE(rig.form.text(Control::lblSyringe), expected);
        QCOMPARE(rig.serial.frames.size(), std::size_t(1));
    }
}

void SendStopTest::stopSendsTwoStopsAndLeavesTheCommandLine() {
    for (int protocol : {0, 1}) {
        LinkRig rig;
        rig.form.setListIndex(Control::cboProtocol, protocol);
        rig.form.setText(Control::text1, "W4R");
        const int textSets = rig.form.at(Control::text1).textSets;
        rig.answer(LinkRig::dtReply('`', ""));
        cmdStop_Click(rig.m);
        const std::string stop = protocol == 0 ? "/1T\r\r" : std::string("\xff\x02" "11T\r\x03", 7) + char(0x02 ^ '1' ^ '1' ^ 'T' ^ '\r' ^ 0x03);
        QCOMPARE(rig.serial.frames, (std::vector<std::string>{stop, stop}));
        QCOMPARE(rig.form.text(Control::text1), std::string("W4R"));
        QCOMPARE(rig.form.at(Control::text1).textSets, textSets);
        QCOMPARE(rig.m.CmdString, std::string("W4R"));
        cmdXmit_Click(rig.m);
        QCOMPARE(rig.serial.frames.back().substr(protocol == 0 ? 2 : 4, 3), std::string("W4R"));
    }
}

void SendStopTest::emptyCommandLineSendsAnEmptyCommand() {
    LinkRig rig;
    rig.form.setText(Control::text1, "");
    cmdXmit_Click(rig.m);
    QCOMPARE(rig.serial.frames, std::vector<std::string>{"/1\r"});
}

void SendStopTest::timeoutBoxIsShownOnce() {
    LinkRig rig;
    cmdXmit_Click(rig.m);
    QVERIFY(rig.timer.enabled());
    Timer2_Timer(rig.m);
    QVERIFY(!rig.timer.enabled());
    QCOMPARE(rig.dialogs.messages.size(), std::size_t(1));
    QCOMPARE(rig.dialogs.messages[0].text, std::string("Timeout error.  No response from pump"));
    QCOMPARE(rig.dialogs.messages[0].title, std::string("Comm Error"));
    QCOMPARE(rig.dialogs.messages[0].icon, MessageIcon::None);
}

void SendStopTest::typedPortNameGivesPortZero() {
    LinkRig rig;
    rig.form.setListIndex(Control::cboPort, -1);
    rig.serial.failOpening("not a port");
    cmdXmit_Click(rig.m);
    QCOMPARE(rig.m.PortNum, int16_t(0));
    QVERIFY(rig.serial.frames.empty());
    QCOMPARE(rig.dialogs.messages.size(), std::size_t(1));
    QVERIFY(!rig.timer.enabled());
}

ZR_TEST(SendStopTest);
#include "test_send_stop.moc"

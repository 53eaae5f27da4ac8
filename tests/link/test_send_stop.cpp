#include <QtTest>

#include "fakes/test_registry.h"
#include "link/send_stop.h"
#include "link_rig.h"

using namespace zr;

class SendStopTest : public QObject {
    Q_OBJECT
private slots:
    void sendTakesTheLinkSettingsFromTheCombos_data() {
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("baud");
        QTest::addColumn<QString>("settings");  // address, class, protocol, baud rate
        QTest::newRow("defaults") << 0 << 0 << 2 << "1 s DT 9600";
        QTest::newRow("pump F, OEM, 38400") << 14 << 1 << 0 << "? s OEM 38400";
        QTest::newRow("ALL, 1200") << 26 << 0 << 5 << "_ m DT 1200";
        QTest::newRow("no selection keeps address and baud") << -1 << -1 << -1 << "1 s OEM 9600";
    }
    void sendTakesTheLinkSettingsFromTheCombos() {
        QFETCH(int, address);
        QFETCH(int, protocol);
        QFETCH(int, baud);
        QFETCH(QString, settings);
        LinkRig rig;
        rig.form.setListIndex(Control::cboAddress, address);
        rig.form.setListIndex(Control::cboProtocol, protocol);
        rig.form.setListIndex(Control::cboBaud, baud);
        rig.m.SilentReply = 1;
        cmdXmit_Click(rig.m);
        QVERIFY(!rig.form.enabled(Control::cmdEdit));
        const std::string got =
            rig.m.AddrChar + " " + rig.m.AddrMode + " " + rig.m.Protocol + " " + rig.m.BaudRate;
        QCOMPARE(QString::fromStdString(got), settings);
        QCOMPARE(rig.m.SilentReply, 0);
        QCOMPARE(rig.serial.frames.size(), std::size_t(1));
    }

    void changingThePortClosesAnOpenPortFirst() {
        LinkRig rig;
        cmdXmit_Click(rig.m);  // unanswered: Com1 stays open
        QVERIFY(rig.serial.portOpen());
        rig.form.setListIndex(Control::cboPort, 1);
        cmdXmit_Click(rig.m);
        QCOMPARE(rig.serial.closeCount, 1);
        QCOMPARE(rig.m.PortNum, 2);
        QCOMPARE(rig.serial.commPort, 2);
    }

    void anOpenPortKeepsItsSetupAndBaudRate() {
        LinkRig rig;
        cmdXmit_Click(rig.m);  // unanswered: the port stays open at 9600
        rig.form.setListIndex(Control::cboBaud, 1);
        rig.answer(LinkRig::dtReply('`', ""));
        cmdXmit_Click(rig.m);
        QCOMPARE(rig.serial.settings, "9600,n,8,1");
        QCOMPARE(std::count(rig.serial.log.begin(), rig.serial.log.end(), "Handshaking=0"), 1);
        QVERIFY(!rig.serial.portOpen());  // the complete reply closed it
        cmdXmit_Click(rig.m);
        QCOMPARE(rig.serial.settings, "19200,n,8,1");
    }

    void autoBoxDecidesWhatHappensToThePositionFields() {
        for (int value : {0, 2}) {
            LinkRig rig;
            rig.form.setText(Control::lblSyringe, "syringe = 5");
            rig.form.setValue(Control::chkReport, value);
            cmdXmit_Click(rig.m);
            QCOMPARE(rig.form.text(Control::lblSyringe), value == 0 ? "" : "syringe = 5");
            QCOMPARE(rig.serial.frames.size(), std::size_t(1));
        }
    }

    void stopSendsTwoStopsAndLeavesTheCommandLine() {
        for (int protocol : {0, 1}) {
            LinkRig rig;
            rig.form.setListIndex(Control::cboProtocol, protocol);
            rig.form.setText(Control::text1, "W4R");
            const int textSets = rig.form.at(Control::text1).textSets;
            rig.answer(LinkRig::dtReply('`', ""));
            cmdStop_Click(rig.m);
            const std::string stop = protocol == 0 ? "/1T\r\r"
                                                   : "\xff\x02"
                                                     "11T\r\x03"
                                                     "X";
            QCOMPARE(rig.serial.frames, (std::vector<std::string>{stop, stop}));
            QCOMPARE(rig.form.text(Control::text1), "W4R");
            QCOMPARE(rig.form.at(Control::text1).textSets, textSets);
            QCOMPARE(rig.m.CmdString, "W4R");
        }
    }

    void timeoutBoxIsShownOnce() {
        LinkRig rig;
        cmdXmit_Click(rig.m);
        QVERIFY(rig.timer.enabled());
        Timer2_Timer(rig.m);
        QVERIFY(!rig.timer.enabled());
        QCOMPARE(rig.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(rig.dialogs.messages[0].text, "Timeout error.  No response from pump");
        QCOMPARE(rig.dialogs.messages[0].title, "Comm Error");
        QCOMPARE(rig.dialogs.messages[0].icon, MessageIcon::None);
    }

    void typedPortNameGivesPortZero() {
        LinkRig rig;
        rig.form.setListIndex(Control::cboPort, -1);
        rig.serial.failOpening("not a port");
        cmdXmit_Click(rig.m);
        QCOMPARE(rig.m.PortNum, 0);
        QVERIFY(rig.serial.frames.empty());
        QCOMPARE(rig.dialogs.messages.size(), std::size_t(1));
        QVERIFY(!rig.timer.enabled());
    }
};

ZR_TEST(SendStopTest);
#include "test_send_stop.moc"

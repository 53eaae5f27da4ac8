#include "test_live_transaction.h"

#include <QtTest>

#include "link/transaction.h"
#include "live_link.h"

using zr::Control;

namespace {

void AddFramings() {
    QTest::addColumn<QString>("protocol");
    QTest::newRow("DT") << "DT";
    QTest::newRow("OEM") << "OEM";
}

}  // namespace

void LiveTransactionTest::aQueryIsAnsweredAndDecoded_data() { AddFramings(); }

void LiveTransactionTest::aQueryIsAnsweredAndDecoded() {
    QFETCH(QString, protocol);
    LiveLink link;
    QVERIFY2(link.start(), qPrintable(link.sim.error()));
    link.choose(protocol.toStdString(), "1");
    link.m.CmdString = "?";
    zr::XmitCommand(link.m);

    QCOMPARE(link.m.ErrNum, int16_t(0));
    QCOMPARE(QString::fromStdString(link.m.StatusChar), QString("`"));
    QCOMPARE(QString::fromStdString(link.m.ReplyData), QString("0"));
    QCOMPARE(QString::fromStdString(link.form.text(Control::lblReplyCode)), QString("0"));
    QVERIFY(!link.port.portOpen());
    QVERIFY(!link.timer.enabled());
    QVERIFY(link.dialogs.messages.empty());
    QVERIFY2(link.sim.transcript().contains("tx"), qPrintable(link.sim.transcript()));
}

void LiveTransactionTest::anUnansweredFrameLeavesThePortOpenAndTheTimerArmed_data() { AddFramings(); }

void LiveTransactionTest::anUnansweredFrameLeavesThePortOpenAndTheTimerArmed() {
    QFETCH(QString, protocol);
    LiveLink link;
    QVERIFY2(link.start({"--silent"}), qPrintable(link.sim.error()));
    link.choose(protocol.toStdString(), "1");
    link.m.CmdString = "?";
    zr::XmitCommand(link.m);

    QCOMPARE(link.m.ErrNum, int16_t(2));
    QCOMPARE(QString::fromStdString(link.m.ReplyData), QString());
    QCOMPARE(QString::fromStdString(link.form.text(Control::lblReplyCode)), QString("none"));
    QVERIFY(link.port.portOpen());
    QVERIFY(link.timer.enabled());
    QCOMPARE(link.timer.interval(), 2000);
    QVERIFY2(link.sim.transcript().contains("rx"), "the frame must have reached the pump");
}

void LiveTransactionTest::aGroupAddressIsNotReadFrom_data() { AddFramings(); }

void LiveTransactionTest::aGroupAddressIsNotReadFrom() {
    QFETCH(QString, protocol);
    LiveLink link;
    QVERIFY2(link.start({"--address", "1,2"}), qPrintable(link.sim.error()));
    link.choose(protocol.toStdString(), "A");
    QCOMPARE(QString::fromStdString(link.m.AddrMode), QString("m"));
    link.m.CmdString = "?";
    zr::XmitCommand(link.m);

    QCOMPARE(link.m.ErrNum, int16_t(0));
    QCOMPARE(QString::fromStdString(link.m.ReplyText), QString("Multiple address mode - No replies"));
    QCOMPARE(QString::fromStdString(link.form.text(Control::lblReplyCode)), QString("none"));
    QVERIFY(link.port.portOpen());
    QVERIFY(!link.timer.enabled());
}

void LiveTransactionTest::anOemReplyWithABadChecksumIsRefused() {
    LiveLink link;
    QVERIFY2(link.start({"--bad-checksum"}), qPrintable(link.sim.error()));
    link.choose("OEM", "1");
    link.m.CmdString = "?";
    zr::XmitCommand(link.m);

    QCOMPARE(link.m.ErrNum, int16_t(3));
    QCOMPARE(QString::fromStdString(link.form.text(Control::lblReplyCode)), QString("none"));
    QCOMPARE(QString::fromStdString(link.form.text(Control::lblReply)), QString());
    QVERIFY(!link.port.portOpen());
    QVERIFY(!link.timer.enabled());
}

void LiveTransactionTest::aPumpThatCameBackIsReachedThroughThePortLeftOpen() {
    LiveLink link;
    QVERIFY2(link.start({"--silent"}), qPrintable(link.sim.error()));
    link.choose("DT", "1");
    link.m.CmdString = "?";
    zr::XmitCommand(link.m);
    QCOMPARE(link.m.ErrNum, int16_t(2));
    QVERIFY(link.port.portOpen());

    link.sim.stop();
    QVERIFY2(link.start(), qPrintable(link.sim.error()));
    zr::XmitCommand(link.m);
    QCOMPARE(link.m.ErrNum, int16_t(0));
    QCOMPARE(QString::fromStdString(link.m.ReplyData), QString("0"));
    QVERIFY(!link.port.portOpen());
}

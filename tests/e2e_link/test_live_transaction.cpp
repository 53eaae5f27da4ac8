#include <QtTest>

#include "fakes/test_registry.h"
#include "link/transaction.h"
#include "live_link.h"

class LiveTransactionTest : public QObject {
    Q_OBJECT
private slots:
    void aQueryIsAnsweredAndDecoded_data();
    void aQueryIsAnsweredAndDecoded();
    void anUnansweredFrameLeavesThePortOpenAndTheTimerArmed_data();
    void anUnansweredFrameLeavesThePortOpenAndTheTimerArmed();
    void aGroupAddressIsNotReadFrom_data();
    void aGroupAddressIsNotReadFrom();
    void anOemReplyWithABadChecksumIsRefused();
    void aPumpThatCameBackIsReachedThroughThePortLeftOpen();
};

using zr::Control;

namespace {

void AddFramings() {
    QTest::addColumn<QString>("protocol");
    QTest::newRow("DT") << "DT";
    QTest::newRow("OEM") << "OEM";
}

}  // namespace

#define START_PUMPSIM(link, ...)                                         \
    do {                                                                \
        if (!(link).start(__VA_ARGS__)) QFAIL(qPrintable((link).sim.error())); \
    } while (false)

void LiveTransactionTest::aQueryIsAnsweredAndDecoded_data() { AddFramings(); }

void LiveTransactionTest::aQueryIsAnsweredAndDecoded() {
    QFETCH(QString, protocol);
    LiveLink link;
    START_PUMPSIM(link);
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
    START_PUMPSIM(link, {"--silent"});
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
    START_PUMPSIM(link, {"--address", "1,2"});
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
    START_PUMPSIM(link, {"--bad-checksum"});
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
    START_PUMPSIM(link, {"--silent"});
    link.choose("DT", "1");
    link.m.CmdString = "?";
    zr::XmitCommand(link.m);
    QCOMPARE(link.m.ErrNum, int16_t(2));
    QVERIFY(link.port.portOpen());

    link.sim.stop();
    START_PUMPSIM(link);
    zr::XmitCommand(link.m);
    QCOMPARE(link.m.ErrNum, int16_t(0));
    QCOMPARE(QString::fromStdString(link.m.ReplyData), QString("0"));
    QVERIFY(!link.port.portOpen());
}

ZR_TEST(LiveTransactionTest);
#include "test_live_transaction.moc"

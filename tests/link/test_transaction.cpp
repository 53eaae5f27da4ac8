#include <QtTest>
#include <algorithm>

#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "link/transaction.h"
#include "link_rig.h"

using namespace zr;

namespace {

const Control kFields[] = {Control::lblStatCode, Control::lblStatus, Control::lblReply,
                           Control::lblReplyCode};

QByteArray Shown(const LinkRig& rig) {
    QByteArrayList shown;
    for (Control c : {Control::lblStatCode, Control::lblReply, Control::lblReplyCode})
        shown << QByteArray::fromStdString(rig.form.text(c));
    return shown.join('/');
}

QByteArray State(const LinkRig& rig) {
    return QString("%1, %2, %3, %4 reads, %5 sleeps")
        .arg(rig.m.ErrNum)
        .arg(rig.serial.portOpen() ? "open" : "closed")
        .arg(rig.timer.enabled() ? "timer" : "-")
        .arg(rig.serial.inputCount)
        .arg(rig.clock.sleeps.size())
        .toLatin1();
}

}  // namespace

class TransactionTest : public QObject {
    Q_OBJECT
private slots:
    void everyOutcomeOfAnExchange_data() { test::AddTableRows(QFINDTESTDATA("exchanges.txt")); }
    void everyOutcomeOfAnExchange() {
        QFETCH(QByteArrayList, row);
        const QByteArray &setup = row[1], &reply = row[2];
        LinkRig rig;
        rig.m.CmdString = "?";
        if (setup.contains("OEM")) rig.m.Protocol = "OEM";
        if (setup.contains("group")) rig.m.AddrChar = "_", rig.m.AddrMode = "m";
        if (setup.contains("silent")) rig.m.SilentReply = 1;
        for (Control c : kFields) rig.form.setText(c, "old");
        if (setup.contains("dribble"))
            rig.serial.onOutput = [&](const std::string&) {
                rig.serial.dribble(reply.toStdString(), 0.0, 0.021);
            };
        else
            rig.answer(reply.toStdString());
        XmitCommand(rig.m);
        QCOMPARE(Shown(rig), row[3]);
        QCOMPARE(State(rig), row[4]);
        QCOMPARE(rig.serial.frames.size(), std::size_t(1));
        QCOMPARE(rig.serial.settings, "9600,n,8,1");
        QCOMPARE(rig.serial.commPort, 1);
        QCOMPARE(rig.timer.interval(), 2000);
        QCOMPARE(rig.timer.enableCount, 1);
        // the waits sleep a tenth of a second each, and pending events run after each settle pass
        QVERIFY(
            std::all_of(rig.clock.sleeps.begin(), rig.clock.sleeps.end(), [](double s) { return s == 0.1; }));
        QCOMPARE(rig.events.count, int(rig.clock.sleeps.size()));
        QVERIFY(rig.dialogs.messages.empty());
    }

    void lateCharactersOfAnUnansweredExchangeComeFirst() {
        LinkRig rig;
        XmitCommand(rig.m);  // nobody answers: the port stays open
        QCOMPARE(rig.m.ErrNum, 2);
        rig.serial.arrive("xyz");
        rig.answer(LinkRig::dtReply('`', "5"));
        XmitCommand(rig.m);
        QCOMPARE(rig.serial.openCount, 1);  // the open port was used again
        QCOMPARE(rig.m.StatusChar, "z");
        QCOMPARE(rig.form.text(Control::lblReplyCode), "/0`5");
    }

    void portThatCannotOpenIsReportedAndNothingIsSent() {
        LinkRig rig;
        rig.serial.failOpening("permission denied");
        XmitCommand(rig.m);
        QVERIFY(rig.serial.frames.empty());
        QCOMPARE(rig.timer.enableCount, 0);
        QVERIFY(rig.m.PortFailed);
        QCOMPARE(rig.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(rig.dialogs.messages[0].text, "Cannot open Com1: permission denied");
        QCOMPARE(rig.dialogs.messages[0].icon, MessageIcon::Critical);
        QCOMPARE(rig.dialogs.messages[0].title, "Comm Error");
    }
};

ZR_TEST(TransactionTest);
#include "test_transaction.moc"

#include <QtTest>
#include <algorithm>

#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "link/transaction.h"
#include "link_rig.h"

using namespace zr;

namespace {

QByteArray Shown(const LinkRig& rig) {
    QByteArrayList shown;
    for (Control c : {Control::lblStatCode, Control::lblReply, Control::lblReplyCode})
        shown << QByteArray::fromStdString(rig.form.text(c));
    return shown.join('/');
}

QByteArray State(const LinkRig& rig) {
    return QString::asprintf("%d, %s, timer %s, armed %d, %d reads, %d sleeps", rig.m.ErrNum,
                             rig.serial.portOpen() ? "open" : "closed", rig.timer.enabled() ? "on" : "off",
                             rig.timer.enableCount, rig.serial.inputCount, int(rig.clock.sleeps.size()))
        .toLatin1();
}

}  // namespace

class TransactionTest : public QObject {
    Q_OBJECT
private slots:
    void everyOutcomeOfAnExchange_data() { test::AddTableRows(QFINDTESTDATA("exchanges.txt")); }
    void everyOutcomeOfAnExchange() {
        QFETCH(QByteArrayList, row);
        const QByteArray& setup = row[1];
        const std::string reply = row[2].toStdString();
        LinkRig rig;
        rig.m.CmdString = "?";
        if (setup.contains("OEM")) rig.m.Protocol = "OEM";
        if (setup.contains("group")) rig.m.AddrChar = "_", rig.m.AddrMode = "m";
        if (setup.contains("silent")) rig.m.SilentReply = 1;
        if (setup.contains("late")) rig.serial.setPortOpen(true), rig.serial.arrive("xyz");
        if (setup.contains("cut off")) rig.events.onProcess = [&] { rig.serial.setPortOpen(false); };
        for (Control c : {Control::lblStatCode, Control::lblStatus, Control::lblReply, Control::lblReplyCode})
            rig.form.setText(c, "old");
        rig.serial.onOutput = [&](const std::string&) {
            setup.contains("dribble") ? rig.serial.dribble(reply, 0.0, 0.021)
                                      : rig.serial.arrive(reply, 0.05);
        };
        XmitCommand(rig.m);
        QCOMPARE(Shown(rig), row[3]);
        QCOMPARE(State(rig), row[4]);
        QCOMPARE(rig.m.ErrDetail.empty(), rig.m.ErrNum == 0);
        QCOMPARE(rig.serial.frames.size(), std::size_t(1));
        QCOMPARE(rig.serial.openCount, 1);  // a port left open is used as it is
        QCOMPARE(rig.timer.interval(), 2000);
        // the waits sleep a tenth of a second each, and pending events run after each settle pass
        QVERIFY(
            std::all_of(rig.clock.sleeps.begin(), rig.clock.sleeps.end(), [](double s) { return s == 0.1; }));
        QCOMPARE(rig.events.count, int(rig.clock.sleeps.size()));
        QVERIFY(rig.dialogs.messages.empty());
    }
};

ZR_TEST(TransactionTest);
#include "test_transaction.moc"

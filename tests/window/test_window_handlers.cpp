#include <QTest>
#include <map>

#include "fakes/rig.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "shared/main_buttons.h"
#include "window/panels.h"
#include "window/start_up.h"

using namespace zr;

namespace {

// "1" for each control of `controls` that is enabled (or shown), "0" for the others.
QString Flags(const test::Rig& rig, std::initializer_list<Control> controls, bool shown = false) {
    QString flags;
    for (Control c : controls) flags += (shown ? rig.form.visible(c) : rig.form.enabled(c)) ? '1' : '0';
    return flags;
}

}  // namespace

class WindowHandlersTest : public QObject {
    Q_OBJECT
private slots:
    void panelsLeaveTheirPanelsAndFlags_data() { test::AddTableRows(QFINDTESTDATA("panel_presses.txt")); }
    void panelsLeaveTheirPanelsAndFlags() {
        QFETCH(QByteArrayList, row);
        const std::map<QByteArray, void (*)(Module&)> buttons = {
            {"S", cmdSetup_Click},       {"s", cmdExitSetup_Click}, {"L", cmdListCmd_Click},
            {"l", cmdExitCmdList_Click}, {"F", cmdProgram_Click},   {"f", cmdExitProgram_Click},
            {"x", exitFraProgram}};
        test::Rig rig;
        for (Control c : {Control::fraSetup, Control::fraListCmd, Control::fraProgram})
            rig.form.setVisible(c, false);
        for (Control c : {Control::cmdStop, Control::cmdSave, Control::cmdRecall, Control::cmdDel})
            rig.form.setEnabled(c, false);
        rig.m.ProgMode = "delete";
        rig.m.ProgName = "x";
        for (const QByteArray& press : row[1].split(' ')) buttons.at(press)(rig.m);
        QCOMPARE(Flags(rig, {Control::fraSetup, Control::fraListCmd, Control::fraProgram}, true), row[2]);
        QCOMPARE(Flags(rig, {Control::cmdXmit, Control::cmdStop, Control::cmdParse, Control::cmdUnparse,
                             Control::cmdProgram, Control::cmdSetup, Control::cmdSave, Control::cmdRecall,
                             Control::cmdDel}),
                 row[3] + row[4]);
        QCOMPARE(QString::fromStdString(rig.m.ProgMode + " " + rig.m.ProgName).trimmed(), row[5]);
    }

    // Start-up sets the limits and the port number, stops the time-out and opens no port, also
    // where programs.txt cannot be created. (What start-up shows is checked on the real window,
    // what it does to programs.txt with the store.)
    void startUpSetsTheLimitsAndOpensNoPort() {
        test::Rig rig;
        rig.timer.setEnabled(true);
        Form_Load(rig.m);
        QCOMPARE(QString("%1 %2 %3").arg(rig.m.MaxPosition).arg(rig.m.MaxValvePort).arg(rig.m.PortNum),
                 "48000 12 1");
        QVERIFY(!rig.serial.portOpen() && !rig.timer.enabled());
    }

    // Each pick of a combo entry that needs a note shows it again, and the pick stands.
    void notesFollowThePicks_data() { test::AddTableRows(QFINDTESTDATA("notes.txt")); }
    void notesFollowThePicks() {
        QFETCH(QByteArrayList, row);
        const std::map<QByteArray, std::pair<Control, void (*)(Module&)>> combos = {
            {"address", {Control::cboAddress, cboAddress_Click}},
            {"baud", {Control::cboBaud, cboBaud_Click}},
            {"protocol", {Control::cboProtocol, cboProtocol_Click}}};
        test::Rig rig;
        const auto [c, pick] = combos.at(row[1]);
        rig.form.setListIndex(c, row[2].toInt());
        pick(rig.m);
        pick(rig.m);
        QCOMPARE(QByteArray::fromStdString(rig.dialogs.told(MessageIcon::Exclamation, "")),
                 row[3].isEmpty() ? "" : (" box: " + row[3]).repeated(2));
        QCOMPARE(rig.form.listIndex(c), row[2].toInt());
    }
};

ZR_TEST(WindowHandlersTest);
#include "test_window_handlers.moc"

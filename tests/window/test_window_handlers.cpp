#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

#include "fakes/rig.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
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

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
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
        rig.form.setEnabled(Control::cmdStop, false);
        for (const QByteArray& press : row[1].split(' ')) buttons.at(press)(rig.m);
        QCOMPARE(Flags(rig, {Control::fraSetup, Control::fraListCmd, Control::fraProgram}, true), row[2]);
        QCOMPARE(Flags(rig, {Control::cmdXmit, Control::cmdStop, Control::cmdParse, Control::cmdUnparse,
                             Control::cmdProgram, Control::cmdSetup}),
                 row[3]);
    }

    void fileEnablesThePanelButtonsAndExitClearsThePendingOperation() {
        test::Rig rig;
        for (Control c : {Control::cmdSave, Control::cmdRecall, Control::cmdDel})
            rig.form.setEnabled(c, false);
        cmdProgram_Click(rig.m);
        QCOMPARE(Flags(rig, {Control::cmdSave, Control::cmdRecall, Control::cmdDel}), "111");
        rig.m.ProgMode = "delete";
        rig.m.ProgName = "x";
        cmdExitProgram_Click(rig.m);
        QCOMPARE(rig.m.ProgMode + rig.m.ProgName, "");
    }

    void startUpCreatesTheProgramFileOnlyWhenMissing() {
        QTemporaryDir folder;
        test::Rig rig(folder.path().toStdString());
        rig.timer.setEnabled(true);
        Form_Load(rig.m);
        QCOMPARE(ReadFile(folder.filePath("programs.txt")), "\"\"\r\nInitialize syringe;W4R\r\n");
        QCOMPARE(rig.m.ProgFile, folder.filePath("programs.txt").toStdString());
        QCOMPARE(rig.m.MaxPosition, 48000);
        QCOMPARE(rig.m.MaxValvePort, 12);
        QCOMPARE(rig.m.PortNum, 1);
        QVERIFY(!rig.timer.enabled());
        for (auto [combo, index] : {std::pair{Control::cboPort, 0},
                                    {Control::cboBaud, 2},
                                    {Control::cboProtocol, 0},
                                    {Control::cboAddress, 0}})
            QCOMPARE(rig.form.listIndex(combo), index);
        QCOMPARE(rig.form.top(Control::cboFile1), 720);
        QCOMPARE(Flags(rig,
                       {Control::fraProgram, Control::cboFile0, Control::cboFile1, Control::fraSetup,
                        Control::fraListCmd},
                       true),
                 "00000");
        QVERIFY(rig.m.Protocol.empty() && rig.m.BaudRate.empty() && rig.m.AddrChar.empty());
        QVERIFY(rig.dialogs.messages.empty());
        QVERIFY(!rig.serial.portOpen());

        QFile file(folder.filePath("programs.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("edited;A1R\r\n") == 12);
        file.close();
        Form_Load(rig.m);
        QCOMPARE(ReadFile(folder.filePath("programs.txt")), "edited;A1R\r\n");
    }

    void aFolderWhereTheFileCannotBeCreatedIsReported() {
        test::Rig rig("/nonexistent-folder-for-zadu-rovu");
        Form_Load(rig.m);
        QCOMPARE(rig.dialogs.messages.size(), std::size_t(1));
        QVERIFY(rig.dialogs.messages[0].text.find("/nonexistent-folder-for-zadu-rovu/programs.txt") !=
                std::string::npos);
        QCOMPARE(rig.m.MaxPosition, 48000);  // start-up went on
    }

    void notesFollowThePicks_data() { test::AddTableRows(QFINDTESTDATA("notes.txt")); }
    void notesFollowThePicks() {
        QFETCH(QByteArrayList, row);
        const int index = row[2].toInt();
        const QString note = QString::fromLatin1(row[3]);
        const std::map<QByteArray, std::pair<Control, void (*)(Module&)>> combos = {
            {"address", {Control::cboAddress, cboAddress_Click}},
            {"baud", {Control::cboBaud, cboBaud_Click}},
            {"protocol", {Control::cboProtocol, cboProtocol_Click}}};
        test::Rig rig;
        const auto [c, pick] = combos.at(row[1]);
        rig.form.setListIndex(c, index);
        pick(rig.m);
        pick(rig.m);
        QCOMPARE(rig.dialogs.messages.size(), std::size_t(note.isEmpty() ? 0 : 2));  // each pick shows it
        for (const auto& box : rig.dialogs.messages) {
            QCOMPARE(QString::fromStdString(box.text), note);
            QCOMPARE(box.icon, MessageIcon::Exclamation);
            QCOMPARE(box.title, "");
        }
        QCOMPARE(rig.form.listIndex(c), index);  // the pick stands
    }
};

ZR_TEST(WindowHandlersTest);
#include "test_window_handlers.moc"

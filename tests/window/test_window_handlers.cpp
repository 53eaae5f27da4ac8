#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

#include "fakes/rig.h"
#include "fakes/test_registry.h"
#include "window/panels.h"
#include "window/start_up.h"

using namespace zr;

namespace {

const Control kMain[] = {Control::cmdXmit, Control::cmdStop, Control::cmdParse,
                         Control::cmdUnparse, Control::cmdProgram, Control::cmdSetup};

QString EnabledMain(test::Rig& rig) {
    QString flags;
    for (Control c : kMain) flags += rig.form.enabled(c) ? '1' : '0';
    return flags;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class WindowHandlersTest : public QObject {
    Q_OBJECT
private slots:
    void panelsDisableAndEnableTheMainButtons_data() {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("whileOpen");  // Send Stop Parse unParse File Setup
        QTest::newRow("Setup") << "setup" << "010000";
        QTest::newRow("Commands") << "commands" << "010000";
        QTest::newRow("Program") << "program" << "010000";
    }
    void panelsDisableAndEnableTheMainButtons() {
        QFETCH(QString, panel);
        QFETCH(QString, whileOpen);
        test::Rig rig;
        rig.form.setEnabled(Control::cmdStop, false);
        Control frame = Control::fraSetup;
        if (panel == "setup") cmdSetup_Click(rig.m);
        if (panel == "commands") cmdListCmd_Click(rig.m), frame = Control::fraListCmd;
        if (panel == "program") cmdProgram_Click(rig.m), frame = Control::fraProgram;
        rig.form.setEnabled(Control::cmdStop, true);  // Stop is never disabled by a panel
        QVERIFY(rig.form.visible(frame));
        QCOMPARE(EnabledMain(rig), whileOpen);
        rig.form.setEnabled(Control::cmdStop, false);
        if (panel == "setup") cmdExitSetup_Click(rig.m);
        if (panel == "commands") cmdExitCmdList_Click(rig.m);
        if (panel == "program") cmdExitProgram_Click(rig.m);
        QVERIFY(!rig.form.visible(frame));
        QCOMPARE(EnabledMain(rig), QString("111111"));  // Stop too
    }

    void fileEnablesThePanelButtonsAndExitClearsThePendingOperation() {
        test::Rig rig;
        for (Control c : {Control::cmdSave, Control::cmdRecall, Control::cmdDel}) rig.form.setEnabled(c, false);
        cmdProgram_Click(rig.m);
        for (Control c : {Control::cmdSave, Control::cmdRecall, Control::cmdDel}) QVERIFY(rig.form.enabled(c));
        rig.m.ProgMode = "delete";
        rig.m.ProgName = "x";
        cmdExitProgram_Click(rig.m);
        QCOMPARE(rig.m.ProgMode, std::string());
        QCOMPARE(rig.m.ProgName, std::string());
        cmdProgram_Click(rig.m);
        exitFraProgram(rig.m);
        QVERIFY(!rig.form.visible(Control::fraProgram));
        QCOMPARE(EnabledMain(rig), QString("111111"));
    }

    // Only List Commands can open over another panel; leaving either one runs enableMain,
    // although the other panel is still shown.
    void panelSequencesLeaveTheirPanelsAndFlags_data() {
        QTest::addColumn<QString>("presses");
        QTest::addColumn<QString>("shown");  // Setup Commands Program
        QTest::addColumn<QString>("flags");  // Send Stop Parse unParse File Setup
        QTest::newRow("Setup, List Commands") << "S L" << "110" << "010000";
        QTest::newRow("Setup, List Commands, Exit list") << "S L l" << "100" << "111111";
        QTest::newRow("Setup, List Commands, Exit setup") << "S L s" << "010" << "111111";
        QTest::newRow("File, List Commands") << "F L" << "011" << "010000";
        QTest::newRow("File, List Commands, Exit program") << "F L f" << "010" << "111111";
        QTest::newRow("List Commands twice, Exit") << "L L l" << "000" << "111111";
    }
    void panelSequencesLeaveTheirPanelsAndFlags() {
        QFETCH(QString, presses);
        QFETCH(QString, shown);
        QFETCH(QString, flags);
        const std::map<QString, void (*)(Module&)> buttons = {
            {"S", cmdSetup_Click},   {"s", cmdExitSetup_Click}, {"L", cmdListCmd_Click},
            {"l", cmdExitCmdList_Click}, {"F", cmdProgram_Click}, {"f", cmdExitProgram_Click}};
        test::Rig rig;
        for (Control panel : {Control::fraSetup, Control::fraListCmd, Control::fraProgram})
            rig.form.setVisible(panel, false);
        for (const QString& press : presses.split(' ')) buttons.at(press)(rig.m);
        QString visible;
        for (Control panel : {Control::fraSetup, Control::fraListCmd, Control::fraProgram})
            visible += rig.form.visible(panel) ? '1' : '0';
        QCOMPARE(visible, shown);
        QCOMPARE(EnabledMain(rig), flags);
    }

    void firstStartCreatesTheProgramFileAndSetsTheDefaults() {
        QTemporaryDir folder;
        test::Rig rig(folder.path().toStdString());
        rig.timer.setEnabled(true);
        Form_Load(rig.m);
        QCOMPARE(ReadFile(folder.filePath("programs.txt")), QByteArray("\"\"\r\nInitialize syringe;W4R\r\n"));
        QCOMPARE(rig.m.ProgFile, folder.filePath("programs.txt").toStdString());
        QCOMPARE(rig.m.MaxPosition, 48000);
        QCOMPARE(rig.m.MaxValvePort, int16_t(12));
        QCOMPARE(rig.m.PortNum, int16_t(1));
        QVERIFY(!rig.timer.enabled());
        QCOMPARE(rig.form.listIndex(Control::cboPort), 0);
        QCOMPARE(rig.form.listIndex(Control::cboBaud), 2);
        QCOMPARE(rig.form.listIndex(Control::cboProtocol), 0);
        QCOMPARE(rig.form.listIndex(Control::cboAddress), 0);
        QCOMPARE(rig.form.top(Control::cboFile1), 720);
        for (Control c : {Control::fraProgram, Control::cboFile0, Control::cboFile1, Control::fraSetup, Control::fraListCmd})
            QVERIFY(!rig.form.visible(c));
        QVERIFY(rig.m.Protocol.empty() && rig.m.BaudRate.empty() && rig.m.AddrChar.empty());
        QVERIFY(rig.dialogs.messages.empty());
        QVERIFY(!rig.serial.portOpen());
    }

    void anExistingProgramFileIsLeftAlone() {
        QTemporaryDir folder;
        QFile file(folder.filePath("programs.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("edited;A1R\r\n");
        file.close();
        test::Rig rig(folder.path().toStdString());
        Form_Load(rig.m);
        QCOMPARE(ReadFile(folder.filePath("programs.txt")), QByteArray("edited;A1R\r\n"));
    }

    void aFolderWhereTheFileCannotBeCreatedIsReported() {
        test::Rig rig("/nonexistent-folder-for-zadu-rovu");
        Form_Load(rig.m);
        QCOMPARE(rig.dialogs.messages.size(), std::size_t(1));
        QVERIFY(rig.dialogs.messages[0].text.find("/nonexistent-folder-for-zadu-rovu/programs.txt") != std::string::npos);
        QCOMPARE(rig.m.MaxPosition, 48000);  // start-up went on
    }

    void notesFollowThePicks_data() {
        QTest::addColumn<QString>("combo");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("note");
        const QString multiple =
            "NOTE:  In multiple-device addressing modes, the device does return any messages.  If an error occurs, "
            "no further commands will be accepted by the device with the error until that device is individually "
            "addressed and reports its error message.";
        const QString baud = "NOTE:  To use a baud rate other than 9600, the OPTION jumper on the pump must be removed.";
        const QString oem = "NOTE:  To use the OEM mode, the OPTION jumper on the pump must be removed.";
        QTest::newRow("address F") << "address" << 14 << "";
        QTest::newRow("address 1,2") << "address" << 15 << multiple;
        QTest::newRow("address ALL") << "address" << 26 << multiple;
        QTest::newRow("baud 19,200") << "baud" << 1 << baud;
        QTest::newRow("baud 9600") << "baud" << 2 << "";
        QTest::newRow("baud 1200") << "baud" << 5 << baud;
        QTest::newRow("protocol OEM") << "protocol" << 1 << oem;
        QTest::newRow("protocol DT") << "protocol" << 0 << "";
    }
    void notesFollowThePicks() {
        QFETCH(QString, combo);
        QFETCH(int, index);
        QFETCH(QString, note);
        test::Rig rig;
        const Control c = combo == "address" ? Control::cboAddress : combo == "baud" ? Control::cboBaud : Control::cboProtocol;
        rig.form.setListIndex(c, index);
        for (int pick = 0; pick < 2; ++pick) {
            if (combo == "address") cboAddress_Click(rig.m);
            if (combo == "baud") cboBaud_Click(rig.m);
            if (combo == "protocol") cboProtocol_Click(rig.m);
        }
        QCOMPARE(rig.dialogs.messages.size(), std::size_t(note.isEmpty() ? 0 : 2));  // each pick shows it
        if (!note.isEmpty()) {
            QCOMPARE(QString::fromStdString(rig.dialogs.messages[0].text), note);
            QCOMPARE(rig.dialogs.messages[0].icon, MessageIcon::Exclamation);
            QCOMPARE(rig.dialogs.messages[0].title, std::string());
        }
        QCOMPARE(rig.form.listIndex(c), index);  // the pick stands
    }
};

ZR_TEST(WindowHandlersTest);
#include "test_window_handlers.moc"

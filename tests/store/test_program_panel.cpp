#include <QtTest>

#include "fakes/test_registry.h"
#include "store/program_panel.h"
#include "store_rig.h"

class ProgramPanelTest : public QObject {
    Q_OBJECT
private slots:
    void firstSavePressListsTheNamesForTyping();
    void secondSavePressReplacesOrAppends_data();
    void secondSavePressReplacesOrAppends();
    void pickRecallsOrDeletesAtOnce_data();
    void pickRecallsOrDeletesAtOnce();
    void withoutAFileNothingIsWritten();
};

using namespace zr;
using namespace zr::test;

namespace {

const QByteArray Two = "\"\"\r\na;1\r\nb;2\r\n";

// The panel as "File" leaves it: shown, with Save, Recall and Delete enabled.
void OpenPanel(FakeForm& form) {
    for (Control c : {Control::fraProgram, Control::cmdSave, Control::cmdRecall, Control::cmdDel}) {
        form.setVisible(c, true);
        form.setEnabled(c, true);
    }
}

}  // namespace

void ProgramPanelTest::firstSavePressListsTheNamesForTyping() {
    StoreRig s;
    s.write(Two);
    OpenPanel(s.rig.form);
    s.rig.form.setVisible(Control::cboFile0, false);
    s.m.ProgName = "old";
    cmdSave_Click(s.m);
    QCOMPARE(Items(s.rig.form, Control::cboFile0), QByteArray("a|b"));
    QVERIFY(s.rig.form.visible(Control::cboFile0));
    QVERIFY(!s.rig.form.enabled(Control::cmdRecall) && !s.rig.form.enabled(Control::cmdDel));
    QCOMPARE(s.m.ProgMode, "save");
    QCOMPARE(s.m.ProgName, "");
}

void ProgramPanelTest::secondSavePressReplacesOrAppends_data() {
    QTest::addColumn<int>("pick");          // item picked in cboFile0, -1 for none
    QTest::addColumn<QByteArray>("typed");  // text typed afterwards; null for none
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<int>("error");
    QTest::newRow("picked name is replaced")
        << 0 << QByteArray() << QByteArray("W4R") << QByteArray("\"\"\r\nb;2\r\na;W4R\r\n\r\n\r\n") << 0;
    QTest::newRow("typed new name") << -1 << QByteArray("c") << QByteArray("W4R") << Two + "c;W4R\r\n\r\n"
                                    << 0;
    QTest::newRow("typed existing name")
        << -1 << QByteArray("a") << QByteArray("W4R") << Two + "a;W4R\r\n\r\n"
        << 0;
    QTest::newRow("picked, then edited")
        << 1 << QByteArray("bb") << QByteArray("W4R") << Two + "bb;W4R\r\n\r\n"
        << 0;
    QTest::newRow("no name") << -1 << QByteArray("") << QByteArray("W4R") << Two << 10;
    QTest::newRow("empty command line") << -1 << QByteArray("c") << QByteArray("") << Two << 11;
}

void ProgramPanelTest::secondSavePressReplacesOrAppends() {
    QFETCH(int, pick);
    QFETCH(QByteArray, typed);
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, after);
    QFETCH(int, error);
    StoreRig s;
    FakeForm& form = s.rig.form;
    s.write(Two);
    OpenPanel(form);
    form.at(Control::text1).text = command.toStdString();
    cmdSave_Click(s.m);
    if (pick >= 0) {
        form.setListIndex(Control::cboFile0, pick);
        cboFile0_Click(s.m);
    }
    if (!typed.isNull()) form.at(Control::cboFile0).text = typed.toStdString();
    s.m.ErrNum = 12;  // left by an earlier action; must not stop the save
    cmdSave_Click(s.m);
    QCOMPARE(s.contents(), after);
    QCOMPARE(s.m.ErrNum, error);
    QCOMPARE(s.rig.dialogs.messages.size(), error == 0 ? 0u : 1u);
    if (error != 0)
        QCOMPARE(QByteArray::fromStdString(s.rig.dialogs.messages[0].text),
                 TextOf(static_cast<int16_t>(error)));
    QVERIFY(!form.visible(Control::fraProgram) && !form.visible(Control::cboFile0));
}

void ProgramPanelTest::pickRecallsOrDeletesAtOnce_data() {
    QTest::addColumn<QByteArray>("steps");  // how the pick was prepared
    QTest::addColumn<QByteArray>("text1");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("recall") << QByteArray("recall") << QByteArray("2") << Two;
    QTest::newRow("delete") << QByteArray("delete") << QByteArray("typed")
                            << QByteArray("\"\"\r\na;1\r\n\r\n");
    QTest::newRow("delete, exit, pick") << QByteArray("delete exit") << QByteArray("2") << Two;
    QTest::newRow("recall of a vanished name")
        << QByteArray("recall vanish") << QByteArray("typed") << QByteArray("a;1");
}

void ProgramPanelTest::pickRecallsOrDeletesAtOnce() {
    QFETCH(QByteArray, steps);
    QFETCH(QByteArray, text1);
    QFETCH(QByteArray, after);
    StoreRig s;
    FakeForm& form = s.rig.form;
    s.write(Two);
    OpenPanel(form);
    form.setText(Control::text1, "typed");
    s.m.CmdString = "typed";
    const bool deleting = steps.startsWith("delete");
    deleting ? cmdDel_Click(s.m) : cmdRecall_Click(s.m);
    QCOMPARE(Items(form, Control::cboFile1), QByteArray("a|b"));
    QCOMPARE(form.top(Control::cboFile1), 1200);
    QVERIFY(form.visible(Control::cboFile1));
    QVERIFY(!form.enabled(Control::cmdSave) && form.enabled(Control::cmdRecall) != deleting);
    if (steps.contains("exit")) {  // what Exit and "File" do to the panel's state
        s.m.ProgMode = "";
        s.m.ProgName = "";
        OpenPanel(form);
    }
    if (steps.contains("vanish")) s.write("a;1");
    form.setListIndex(Control::cboFile1, 1);
    cboFile1_Click(s.m);
    QCOMPARE(QByteArray::fromStdString(form.text(Control::text1)), text1);
    QCOMPARE(s.contents(), after);
    QVERIFY(s.rig.dialogs.messages.empty());
    QVERIFY(!form.visible(Control::cboFile1));
}

void ProgramPanelTest::withoutAFileNothingIsWritten() {
    StoreRig s;
    OpenPanel(s.rig.form);
    s.rig.form.at(Control::text1).text = "W4R";
    cmdSave_Click(s.m);
    s.rig.form.at(Control::cboFile0).text = "c";
    cmdSave_Click(s.m);
    QCOMPARE(s.rig.dialogs.messages.size(), 2u);
    for (const auto& box : s.rig.dialogs.messages) QCOMPARE(QByteArray::fromStdString(box.text), TextOf(4));
    QVERIFY(s.folderEntries().isEmpty());
}

ZR_TEST(ProgramPanelTest);
#include "test_program_panel.moc"

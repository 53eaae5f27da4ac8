#include <QtTest>

#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "store/program_panel.h"
#include "store_rig.h"

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

class ProgramPanelTest : public QObject {
    Q_OBJECT
private slots:
    void savePressesListThenReplaceOrAppend_data() { AddTableRows(QFINDTESTDATA("second_saves.txt")); }
    void savePressesListThenReplaceOrAppend() {
        QFETCH(QByteArrayList, row);
        const int pick = row[1].toInt(), error = row[5].toInt();
        StoreRig s;
        FakeForm& form = s.rig.form;
        s.write(Two);
        OpenPanel(form);
        form.setVisible(Control::cboFile0, false);
        form.at(Control::text1).text = row[3].toStdString();
        s.m.ProgName = "old";
        cmdSave_Click(s.m);  // the first press lists the names for typing
        QCOMPARE(Items(form, Control::cboFile0), "a|b");
        QVERIFY(form.visible(Control::cboFile0));
        QVERIFY(!form.enabled(Control::cmdRecall) && !form.enabled(Control::cmdDel));
        QCOMPARE(s.m.ProgMode + "/" + s.m.ProgName, "save/");
        if (pick >= 0) {
            form.setListIndex(Control::cboFile0, pick);
            cboFile0_Click(s.m);
        }
        if (row[2] != "-") form.at(Control::cboFile0).text = row[2].toStdString();
        s.m.ErrNum = 12;  // left by an earlier action; must not stop the save
        cmdSave_Click(s.m);
        QCOMPARE(s.contents(), row[4]);
        QCOMPARE(s.m.ErrNum, error);
        QCOMPARE(s.rig.dialogs.messages.size(), error == 0 ? 0u : 1u);
        if (error != 0)
            QCOMPARE(QByteArray::fromStdString(s.rig.dialogs.messages[0].text), TextOf(int16_t(error)));
        QVERIFY(!form.visible(Control::fraProgram) && !form.visible(Control::cboFile0));
    }

    void pickRecallsOrDeletesAtOnce_data() {
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
    void pickRecallsOrDeletesAtOnce() {
        QFETCH(QByteArray, steps);
        QFETCH(QByteArray, text1);
        QFETCH(QByteArray, after);
        StoreRig s;
        FakeForm& form = s.rig.form;
        s.write(Two);
        OpenPanel(form);
        form.setText(Control::text1, "typed");
        const bool deleting = steps.startsWith("delete");
        deleting ? cmdDel_Click(s.m) : cmdRecall_Click(s.m);
        QCOMPARE(Items(form, Control::cboFile1), "a|b");
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

    void withoutAFileNothingIsWritten() {
        StoreRig s;
        OpenPanel(s.rig.form);
        s.rig.form.at(Control::text1).text = "W4R";
        cmdSave_Click(s.m);
        s.rig.form.at(Control::cboFile0).text = "c";
        cmdSave_Click(s.m);
        QCOMPARE(s.rig.dialogs.messages.size(), 2u);
        for (const auto& box : s.rig.dialogs.messages)
            QCOMPARE(QByteArray::fromStdString(box.text), TextOf(4));
        QVERIFY(s.folderEntries().isEmpty());
    }
};

ZR_TEST(ProgramPanelTest);
#include "test_program_panel.moc"

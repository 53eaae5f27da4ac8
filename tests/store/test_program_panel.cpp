#include <QtTest>

#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "store/program_panel.h"
#include "store_rig.h"

using namespace zr;
using namespace zr::test;

namespace {

const Control kButtons[] = {Control::cmdSave, Control::cmdRecall, Control::cmdDel};

// The panel as "File" leaves it: shown, with Save, Recall and Delete enabled.
void OpenPanel(FakeForm& form) {
    form.setVisible(Control::fraProgram, true);
    for (Control c : kButtons) form.setEnabled(c, true);
}

}  // namespace

class ProgramPanelTest : public QObject {
    Q_OBJECT
private slots:
    void panelClicks_data() { AddTableRows(QFINDTESTDATA("panel_clicks.txt")); }
    void panelClicks() {
        QFETCH(QByteArrayList, row);
        const QByteArray button = row[1].split(' ').first();
        const bool saving = button == "save";
        const Control list = saving ? Control::cboFile0 : Control::cboFile1;
        StoreRig s;
        FakeForm& form = s.rig.form;
        s.write("\"\"\r\na;1\r\nb;2\r\n");
        OpenPanel(form);
        form.setVisible(list, false);
        form.setText(Control::text1, row[4].toStdString());
        s.m.ProgName = "old";
        const Control pressed = saving               ? Control::cmdSave
                                : button == "delete" ? Control::cmdDel
                                                     : Control::cmdRecall;
        saving ? cmdSave_Click(s.m) : button == "delete" ? cmdDel_Click(s.m) : cmdRecall_Click(s.m);
        QCOMPARE(s.items(list), "a,b");
        QVERIFY(form.visible(list));
        for (Control c : kButtons) QCOMPARE(form.enabled(c), c == pressed);  // the others are locked
        if (saving)
            QCOMPARE(s.m.ProgMode + "/" + s.m.ProgName, "save/");
        else
            QCOMPARE(form.top(list), 1200);

        if (row[1].contains("exit")) {  // what Exit and "File" do to the panel's state
            s.m.ProgMode = "";
            s.m.ProgName = "";
            OpenPanel(form);
        }
        if (row[1].contains("vanish")) s.write("a;1");
        if (row[2].toInt() >= 0) {
            form.setListIndex(list, row[2].toInt());
            if (saving) cboFile0_Click(s.m);
        }
        if (row[3] != "-") form.at(list).text = row[3].toStdString();
        if (saving) {
            s.m.ErrNum = 12;  // left by an earlier action; must not stop the save
            cmdSave_Click(s.m);
        } else {
            cboFile1_Click(s.m);
        }
        QCOMPARE(QByteArray::fromStdString(form.text(Control::text1)), row[5]);
        QCOMPARE(s.contents(), row[6]);
        QCOMPARE(s.errors(), row.value(7, "0"));
        QVERIFY(!form.visible(Control::fraProgram) && !form.visible(list));
    }
};

ZR_TEST(ProgramPanelTest);
#include "test_program_panel.moc"

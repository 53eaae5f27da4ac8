#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "cmdlist/command_list.h"
#include "cmdlist/command_list_line.h"
#include "fakes/rig.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"

using namespace zr;
using namespace zr::test;

class CommandListTest : public QObject {
    Q_OBJECT
private slots:
    void itemsAreTheFirst40CharactersInFileOrder() {
        QTemporaryDir dir;
        const std::string display(40, 'd');
        // CR LF, a bare CR, an empty line, a line feed inside a line, and a last line without an
        // end; bytes above 0x7F come through unchanged.
        std::ofstream(dir.filePath("Cedar.txt").toStdString(), std::ios::binary)
            << display << "An        0 48000 @   Moves the plun\r\nshort\r\r\nhalf\nline\r\ncaf\xe9\r\nlast";
        Rig rig(dir.path().toStdString());
        rig.form.setText(Control::text1, "A1");
        for (int index : {4, -1, 7}) {  // an index outside the list changes nothing
            rig.form.setListIndex(Control::cboDevice, index);
            cboDevice_Click(rig.m);
        }
        QCOMPARE(rig.form.at(Control::lstCmd).items,
                 (std::vector<std::string>{display, "short", "", "half\nline", "caf\xe9", "last"}));
        QCOMPARE(rig.m.CmdListFile, rig.files.folder() + "/Cedar.txt");
        QVERIFY(rig.dialogs.messages.empty());
    }

    void fieldsAreCutAtTheirColumns_data() { AddTableRows(QFINDTESTDATA("fields.txt")); }
    void fieldsAreCutAtTheirColumns() {
        QFETCH(QByteArrayList, row);
        const CommandListLine fields = ReadCommandListLine(std::string(40, '.') + row[1].toStdString());
        const QByteArray shown = QString("\"%1\" | %2 | %3 | %4 | %5")
                                     .arg(fields.templ.c_str())
                                     .arg(fields.minimum())
                                     .arg(fields.maximum())
                                     .arg(fields.indirect() ? "yes" : "no")
                                     .arg(fields.description.c_str())
                                     .toLatin1();
        QCOMPARE(shown, row.mid(2).join(" | "));
    }
};

ZR_TEST(CommandListTest);

#include "test_command_list.moc"

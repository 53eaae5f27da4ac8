#include <QDir>
#include <QtTest>

#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "store/program_file.h"
#include "store_rig.h"

using namespace zr;
using namespace zr::test;

class ProgramFileTest : public QObject {
    Q_OBJECT
private slots:
    void operationsOnTheFile_data() { AddTableRows(QFINDTESTDATA("program_files.txt")); }
    void operationsOnTheFile() {
        QFETCH(QByteArrayList, row);
        const QByteArray operation = row[2].split(' ').first();
        StoreRig s(row[2].endsWith("full disk"));
        const auto expanded = [&](QByteArray text) {
            return text.replace("N400", QByteArray(400, 'n')).replace("<file>", s.m.ProgFile.c_str());
        };
        if (row[1] == "(folder)")
            QVERIFY(QDir(s.dir.path()).mkdir("programs.txt"));
        else if (row[1] != "(missing)")
            s.write(expanded(row[1]));
        s.m.ProgName = expanded(row[3]).toStdString();
        s.m.CmdString = "W";
        s.rig.form.at(Control::text1).text = "shown";
        for (Control list : {Control::cboFile0, Control::cboFile1}) s.rig.form.addItem(list, "old");

        s.m.ProgMode = operation == "list" ? row[2].split(' ').last().toStdString() : operation.toStdString();
        if (operation == "list")
            LoadProgramNames(s.m);
        else if (operation == "retrieve")
            RetrieveProgram(s.m);
        else
            StoreProgram(s.m);

        const QByteArray outcome = operation == "retrieve" ? QByteArray::fromStdString(s.m.CmdString)
                                   : operation == "list"
                                       ? s.items(Control::cboFile0) + "/" + s.items(Control::cboFile1)
                                       : s.contents();
        QCOMPARE(outcome, expanded(row[4]));
        QCOMPARE(s.errors(), expanded(row.value(5, "0")));
        QCOMPARE(s.folderEntries(), row[1] == "(missing)" ? QStringList() : QStringList{"programs.txt"});
        // After a rewrite the next Send must send what the command line shows.
        if (s.m.ErrNum == 0 && (operation == "replace" || operation == "delete"))
            QCOMPARE(s.m.CmdString, "shown");
        if (operation == "append") QCOMPARE(s.m.CmdString, "W");
    }
};

ZR_TEST(ProgramFileTest);
#include "test_program_file.moc"

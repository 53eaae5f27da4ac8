#include <QDir>
#include <QtTest>

#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "store/program_file.h"
#include "store_rig.h"

using namespace zr;
using namespace zr::test;

namespace {

QByteArray Expanded(QByteArray text) {
    return text.replace("N400", QByteArray(400, 'n'));
}

// Runs one store operation the way the panel starts it.
void Run(Module& m, const QByteArray& operation) {
    m.ProgMode = operation == "list" ? "save" : operation.toStdString();
    if (operation == "list")
        LoadProgramNames(m);
    else if (operation == "retrieve")
        RetrieveProgram(m);
    else
        StoreProgram(m);
}

}  // namespace

class ProgramFileTest : public QObject {
    Q_OBJECT
private slots:
    void operationsOnTheFile_data() { AddTableRows(QFINDTESTDATA("program_files.txt")); }
    void operationsOnTheFile() {
        QFETCH(QByteArrayList, row);
        const QByteArray &operation = row[2], after = Expanded(row[4]);
        StoreRig s;
        s.write(Expanded(row[1]));
        s.m.ProgName = Expanded(row[3]).toStdString();
        s.m.CmdString = "W";
        s.rig.form.at(Control::text1).text = "shown";
        Run(s.m, operation);
        QVERIFY(s.rig.dialogs.messages.empty());
        if (operation == "retrieve") {
            QCOMPARE(QByteArray::fromStdString(s.m.CmdString), after == "-" ? "W" : after);
            QCOMPARE(s.m.ErrNum, after == "-" ? 5 : 0);
            return;
        }
        QCOMPARE(s.contents(), after);
        QCOMPARE(s.folderEntries(), QStringList{"programs.txt"});
        // After a rewrite the next Send must send what the command line shows.
        QCOMPARE(s.m.CmdString, operation == "append" ? "W" : "shown");
    }

    void namesAreListedInFileOrderInTheListInUse_data() {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<int>("list");  // 0 cboFile0, 1 cboFile1, -1 neither
        QTest::newRow("save") << QByteArray("save") << 0;
        QTest::newRow("retrieve") << QByteArray("retrieve") << 1;
        QTest::newRow("delete") << QByteArray("delete") << 1;
        QTest::newRow("any other") << QByteArray("append") << -1;
    }
    void namesAreListedInFileOrderInTheListInUse() {
        QFETCH(QByteArray, mode);
        QFETCH(int, list);
        StoreRig s;
        s.write(Expanded("\"\"\r\na;b;W4R\r\n\r\nd;1\r\n;x\r\nd;2\r\n\"q;1\r\nN400m;C\r\n\r\n"));
        s.rig.form.addItem(Control::cboFile0, "old");
        s.rig.form.addItem(Control::cboFile1, "old");
        s.m.ProgMode = mode.toStdString();
        LoadProgramNames(s.m);
        const QByteArray names = Expanded("a|d|d|N400m");
        QCOMPARE(Items(s.rig.form, Control::cboFile0), list == 0 ? names : QByteArray());
        QCOMPARE(Items(s.rig.form, Control::cboFile1), list == 1 ? names : QByteArray());
    }

    void entryChecksLookAtTheFirstCharacters_data() { AddTableRows(QFINDTESTDATA("entry_checks.txt")); }
    void entryChecksLookAtTheFirstCharacters() {
        QFETCH(QByteArrayList, row);
        StoreRig s;
        s.m.ProgName = row[1].toStdString();
        s.rig.form.at(Control::text1).text = row[2].toStdString();
        CheckProgramEntry(s.m);
        QCOMPARE(s.m.ErrNum, row[3].toInt());
    }

    void missingOrUnusableFileIsReportedAndKept_data() {
        QTest::addColumn<QByteArray>("operation");
        QTest::addColumn<bool>("directory");
        for (const char* operation : {"list", "retrieve", "replace", "delete", "append"}) {
            QTest::addRow("%s, missing", operation) << QByteArray(operation) << false;
            QTest::addRow("%s, directory", operation) << QByteArray(operation) << true;
        }
    }
    void missingOrUnusableFileIsReportedAndKept() {
        QFETCH(QByteArray, operation);
        QFETCH(bool, directory);
        StoreRig s;
        if (directory) QVERIFY(QDir(s.dir.path()).mkdir("programs.txt"));
        s.m.ProgName = "a";
        s.m.CmdString = "W";
        s.rig.form.at(Control::text1).text = "W";
        Run(s.m, operation);
        QCOMPARE(s.m.ErrNum, directory ? 15 : 4);
        QCOMPARE(s.rig.dialogs.messages.size(), 1u);
        const auto& box = s.rig.dialogs.messages[0];
        QCOMPARE(box.icon, MessageIcon::Critical);
        QCOMPARE(box.title, "");
        QCOMPARE(QByteArray::fromStdString(box.text),
                 directory ? QByteArray::fromStdString("Cannot read program file " + s.m.ProgFile +
                                                       ": is a directory")
                           : TextOf(4));
        QCOMPARE(QFileInfo(s.dir.filePath("programs.txt")).isDir(), directory);
        QCOMPARE(s.m.CmdString, "W");
        QCOMPARE(s.rig.form.itemCount(Control::cboFile0), 0);
    }

    void diskFullPartWayLeavesTheOldFileByteForByte() {
        for (const char* mode : {"replace", "delete", "append"}) {
            StoreRig s;
            const QByteArray before = "\"\"\r\na;1\r\nb;2\r\n\xff;\x80;x\r\n\r\n";
            s.write(before);
            FullDisk disk(s.m.files.folder());
            Module m(s.rig.serial, s.rig.timer, s.rig.clock, s.rig.events, s.rig.dialogs, s.rig.form, disk);
            m.ProgFile = s.m.ProgFile;
            m.ProgName = "b";
            m.CmdString = "W4R";
            Run(m, mode);
            QCOMPARE(s.contents(), before);
            QCOMPARE(s.folderEntries(), QStringList{"programs.txt"});
            QCOMPARE(m.ErrNum, 15);
            QCOMPARE(s.rig.dialogs.messages.size(), 1u);
            QCOMPARE(s.rig.dialogs.messages[0].text,
                     "Cannot write program file " + m.ProgFile +
                         ": no space left on device. The file has not been changed.");
        }
    }
};

ZR_TEST(ProgramFileTest);
#include "test_program_file.moc"

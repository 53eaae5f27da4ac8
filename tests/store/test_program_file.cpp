#include <QDir>
#include <QtTest>

#include "fakes/test_registry.h"
#include "store/program_file.h"
#include "store_rig.h"

class ProgramFileTest : public QObject {
    Q_OBJECT
private slots:
    void retrieveFindsTheFirstEntryUnderItsName_data();
    void retrieveFindsTheFirstEntryUnderItsName();
    void namesAreListedInFileOrderInTheListInUse_data();
    void namesAreListedInFileOrderInTheListInUse();
    void storingRewritesOrAppends_data();
    void storingRewritesOrAppends();
    void entryChecksLookAtTheFirstCharacters_data();
    void entryChecksLookAtTheFirstCharacters();
    void missingOrUnusableFileIsReportedAndKept_data();
    void missingOrUnusableFileIsReportedAndKept();
    void diskFullPartWayLeavesTheOldFileByteForByte_data();
    void diskFullPartWayLeavesTheOldFileByteForByte();
};

using namespace zr;
using namespace zr::test;

namespace {

const QByteArray Fresh = "\"\"\r\nInitialize syringe;W4R\r\n";
const QByteArray Three = "\"\"\r\na;1\r\nb;2\r\nc;3\r\n";
const QByteArray Long400(400, 'n');

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

void ProgramFileTest::retrieveFindsTheFirstEntryUnderItsName_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("found");  // null: not found
    QTest::newRow("fresh file") << Fresh << QByteArray("Initialize syringe") << QByteArray("W4R");
    QTest::newRow("semicolon name under its first part")
        << QByteArray("a;b;W4R") << QByteArray("a") << QByteArray("b;W4R");
    QTest::newRow("semicolon name in full") << QByteArray("a;b;W4R") << QByteArray("a;b") << QByteArray();
    QTest::newRow("nothing after the semicolon")
        << QByteArray("x;\r\n") << QByteArray("x") << QByteArray(".");
    QTest::newRow("bare name line") << QByteArray("x\r\n") << QByteArray("x") << QByteArray(".");
    QTest::newRow("first duplicate wins")
        << QByteArray("d;1\r\nd;2\r\n") << QByteArray("d") << QByteArray("1");
    QTest::newRow("names are case-sensitive") << QByteArray("abc;1") << QByteArray("ABC") << QByteArray();
    QTest::newRow("quoted line is no entry")
        << QByteArray("\"a;1\r\na;2") << QByteArray("\"a") << QByteArray();
    QTest::newRow("bare CR ends a line")
        << QByteArray("\"\"\ra;1\rb;2\r\n") << QByteArray("b") << QByteArray("2");
    QTest::newRow("high bytes and semicolons")
        << QByteArray("\xe9t\xe9;\xff\x80;x") << QByteArray("\xe9t\xe9") << QByteArray("\xff\x80;x");
    QTest::newRow("400-character name") << Long400 + ";C" << Long400 << QByteArray("C");
    QTest::newRow("401-character name in full") << Long400 + "m;C" << Long400 + "m" << QByteArray();
    QTest::newRow("401-character name under 400") << Long400 + "m;C" << Long400 << QByteArray(";C");
}

void ProgramFileTest::retrieveFindsTheFirstEntryUnderItsName() {
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, found);
    StoreRig s;
    s.write(file);
    s.m.ProgName = name.toStdString();
    s.m.CmdString = "kept";
    RetrieveProgram(s.m);
    QCOMPARE(QByteArray::fromStdString(s.m.CmdString), found.isNull() ? QByteArray("kept") : found);
    QCOMPARE(s.m.ErrNum, found.isNull() ? 5 : 0);
    QVERIFY(s.rig.dialogs.messages.empty());
}

void ProgramFileTest::namesAreListedInFileOrderInTheListInUse_data() {
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<QByteArray>("list0");
    QTest::addColumn<QByteArray>("list1");
    const QByteArray names = "a|d|d|" + Long400 + "m";
    QTest::newRow("save") << QByteArray("save") << names << QByteArray();
    QTest::newRow("retrieve") << QByteArray("retrieve") << QByteArray() << names;
    QTest::newRow("delete") << QByteArray("delete") << QByteArray() << names;
    QTest::newRow("any other") << QByteArray("append") << QByteArray() << QByteArray();
}

void ProgramFileTest::namesAreListedInFileOrderInTheListInUse() {
    QFETCH(QByteArray, mode);
    QFETCH(QByteArray, list0);
    QFETCH(QByteArray, list1);
    StoreRig s;
    s.write("\"\"\r\na;b;W4R\r\n\r\nd;1\r\n;x\r\nd;2\r\n\"q;1\r\n" + Long400 + "m;C\r\n\r\n");
    s.rig.form.addItem(Control::cboFile0, "old");
    s.rig.form.addItem(Control::cboFile1, "old");
    s.m.ProgMode = mode.toStdString();
    LoadProgramNames(s.m);
    QCOMPARE(Items(s.rig.form, Control::cboFile0), list0);
    QCOMPARE(Items(s.rig.form, Control::cboFile1), list1);
}

void ProgramFileTest::storingRewritesOrAppends_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("replace moves to the end") << Three << QByteArray("replace") << QByteArray("a")
                                              << QByteArray("\"\"\r\nb;2\r\nc;3\r\na;W\r\n\r\n\r\n");
    QTest::newRow("replace drops duplicates")
        << QByteArray("d;1\r\nx;2\r\nd;3") << QByteArray("replace") << QByteArray("d")
        << QByteArray("\"\"\r\nx;2\r\nd;W\r\n\r\n\r\n");
    QTest::newRow("delete the only entry")
        << Fresh << QByteArray("delete") << QByteArray("Initialize syringe") << QByteArray("\"\"\r\n\r\n");
    QTest::newRow("delete of a missing name normalises")
        << QByteArray("\"x\r\n\r\n;y\ra;1\r\n\r\n") << QByteArray("delete") << QByteArray("z")
        << QByteArray("\"\"\r\na;1\r\n\r\n");
    QTest::newRow("bare name line ends the search")
        << QByteArray("a;1\r\nX\r\nX;2\r\n;z\r\n\"q\r\n") << QByteArray("replace") << QByteArray("X")
        << QByteArray("\"\"\r\na;1\r\nX;W\r\n\r\nX;2\r\n;z\r\n\r\n");
    QTest::newRow("rewrite keeps high bytes")
        << QByteArray("\xe9;\xff;\x80\r\nq;1") << QByteArray("delete") << QByteArray("q")
        << QByteArray("\"\"\r\n\xe9;\xff;\x80\r\n\r\n");
    QTest::newRow("append to a fresh file")
        << Fresh << QByteArray("append") << QByteArray("a;b") << Fresh + "a;b;W\r\n\r\n";
    QTest::newRow("append a duplicate") << Fresh << QByteArray("append") << QByteArray("Initialize syringe")
                                        << Fresh + "Initialize syringe;W\r\n\r\n";
    QTest::newRow("append after a last line without end")
        << QByteArray("a;1") << QByteArray("append") << QByteArray("b") << QByteArray("a;1\r\nb;W\r\n\r\n");
}

void ProgramFileTest::storingRewritesOrAppends() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, mode);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, after);
    StoreRig s;
    s.write(before);
    s.m.ProgName = name.toStdString();
    s.m.CmdString = "W";
    s.rig.form.at(Control::text1).text = "shown";
    Run(s.m, mode);
    QCOMPARE(s.contents(), after);
    QCOMPARE(s.folderEntries(), QStringList{"programs.txt"});
    QVERIFY(s.rig.dialogs.messages.empty());
    // After a rewrite the next Send must send what the command line shows.
    QCOMPARE(s.m.CmdString, mode == "append" ? "W" : "shown");
}

void ProgramFileTest::entryChecksLookAtTheFirstCharacters_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("error");
    QTest::newRow("letter") << QByteArray("a b") << QByteArray("W4R ") << 0;
    QTest::newRow("! and code 127") << QByteArray("!") << QByteArray("\x7f") << 0;
    QTest::newRow("code 127 name") << QByteArray("\x7f") << QByteArray("\x80") << 0;
    QTest::newRow("blank name") << QByteArray(" a") << QByteArray("W") << 10;
    QTest::newRow("code 128 name") << QByteArray("\x80") << QByteArray("W") << 10;
    QTest::newRow("empty name") << QByteArray() << QByteArray("W") << 10;
    QTest::newRow("blank command") << QByteArray("a") << QByteArray(" W") << 11;
    QTest::newRow("tab command") << QByteArray("a") << QByteArray("\tW") << 11;
    QTest::newRow("both empty") << QByteArray() << QByteArray() << 11;
}

void ProgramFileTest::entryChecksLookAtTheFirstCharacters() {
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, command);
    QFETCH(int, error);
    StoreRig s;
    s.m.ProgName = name.toStdString();
    s.rig.form.at(Control::text1).text = command.toStdString();
    s.m.ErrNum = 0;
    CheckProgramEntry(s.m);
    QCOMPARE(s.m.ErrNum, error);
}

void ProgramFileTest::missingOrUnusableFileIsReportedAndKept_data() {
    QTest::addColumn<QByteArray>("operation");
    QTest::addColumn<bool>("directory");
    for (const char* operation : {"list", "retrieve", "replace", "delete", "append"}) {
        QTest::addRow("%s, missing", operation) << QByteArray(operation) << false;
        QTest::addRow("%s, directory", operation) << QByteArray(operation) << true;
    }
}

void ProgramFileTest::missingOrUnusableFileIsReportedAndKept() {
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
    if (directory)
        QCOMPARE(box.text, "Cannot read program file " + s.m.ProgFile + ": is a directory");
    else
        QCOMPARE(QByteArray::fromStdString(box.text), TextOf(4));
    QCOMPARE(QFileInfo(s.dir.filePath("programs.txt")).isDir(), directory);
    QCOMPARE(s.m.CmdString, "W");
    QCOMPARE(s.rig.form.itemCount(Control::cboFile0), 0);
}

void ProgramFileTest::diskFullPartWayLeavesTheOldFileByteForByte_data() {
    QTest::addColumn<QByteArray>("mode");
    QTest::newRow("replace") << QByteArray("replace");
    QTest::newRow("delete") << QByteArray("delete");
    QTest::newRow("append") << QByteArray("append");
}

void ProgramFileTest::diskFullPartWayLeavesTheOldFileByteForByte() {
    QFETCH(QByteArray, mode);
    StoreRig s;
    const QByteArray before = Three + "\xff;\x80;x\r\n\r\n";
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
    QCOMPARE(s.rig.dialogs.messages[0].text, "Cannot write program file " + m.ProgFile +
                                                 ": no space left on device. The file has not been changed.");
}

ZR_TEST(ProgramFileTest);
#include "test_program_file.moc"

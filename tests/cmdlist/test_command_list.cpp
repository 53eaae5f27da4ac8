#include <QTemporaryDir>
#include <QtTest>

#include "cmdlist/command_list.h"
#include "cmdlist/command_list_line.h"
#include "cmdlist/composer.h"
#include "fakes/rig.h"
#include "fakes/test_registry.h"
#include "list_files.h"

using namespace zr;
using namespace zr::test;

namespace {

// Picks the device type with list index `index`, as the operator does in cboDevice.
void Pick(Rig& rig, int index) {
    rig.form.setListIndex(Control::cboDevice, index);
    cboDevice_Click(rig.m);
}

std::vector<std::string> Items(const Rig& rig) {
    return rig.form.at(Control::lstCmd).items;
}

}  // namespace

class CommandListTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::string folder() const { return dir_->path().toStdString(); }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        // Every file starts with a line that names it, so that a test can tell which was loaded.
        for (const char* name :
             {"Alder.txt", "Birch.txt", "BirchA.txt", "BirchB.txt", "Cedar.txt", "d3_12k.txt"})
            WriteFile(folder(), name, ListLine(std::string("list ") + name, "R") + "\r\n");
    }

    void eachDeviceTypeLoadsItsFile_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("Alder") << 0 << QByteArray("Alder.txt");
        QTest::newRow("Birch, 1.16/1.17") << 1 << QByteArray("Birch.txt");
        QTest::newRow("Birch, 1.18,1.19") << 2 << QByteArray("BirchB.txt");
        QTest::newRow("Birch, 1.20/1.21") << 3 << QByteArray("BirchA.txt");
        QTest::newRow("Cedar") << 4 << QByteArray("Cedar.txt");
        QTest::newRow("Dune 3") << 5 << QByteArray("d3_12k.txt");
        QTest::newRow("Dune 6 shares the third Birch list") << 6 << QByteArray("BirchA.txt");
    }
    void eachDeviceTypeLoadsItsFile() {
        QFETCH(int, index);
        QFETCH(QByteArray, file);
        Rig rig(folder());
        Pick(rig, index);
        QCOMPARE(rig.m.CmdListFile, PathInFolder(folder(), file.toStdString()));
        QCOMPARE(Items(rig),
                 std::vector<std::string>{ListLine("list " + file.toStdString(), "R").substr(0, 40)});
        QVERIFY(rig.dialogs.messages.empty());
    }

    void itemsAreTheFirst40CharactersInFileOrder() {
        const std::string seventy =
            ListLine("Move plunger to absolute position   A n", "An", "0", "48000", "@", "Moves the plun");
        QCOMPARE(seventy.size(), std::size_t(79));
        // CR LF, a bare CR, an empty line, a line feed inside a line, and a last line without an
        // end; bytes above 0x7F come through unchanged.
        WriteFile(folder(), "Cedar.txt", seventy + "\r\nshort\r\r\nhalf\nline\r\n" + "caf\xe9\r\n" + "last");
        Rig rig(folder());
        Pick(rig, 4);
        QCOMPARE(Items(rig), (std::vector<std::string>{seventy.substr(0, 40), "short", "", "half\nline",
                                                       "caf\xe9", "last"}));
    }

    void pickingADeviceTypeEmptiesTheCommandAndReplacesTheList() {
        Rig rig(folder());
        Pick(rig, 0);
        rig.form.setText(Control::text1, "A100R");
        Pick(rig, 4);
        QCOMPARE(rig.form.text(Control::text1), std::string());
        QCOMPARE(Items(rig), std::vector<std::string>{ListLine("list Cedar.txt", "R").substr(0, 40)});
    }

    void aMissingOrUnreadableFileIsReportedAndKeepsTheCommand_data() {
        QTest::addColumn<bool>("asFolder");
        QTest::addColumn<QByteArray>("reason");
        QTest::newRow("missing") << false << QByteArray("no such file or directory");
        QTest::newRow("a folder in its place") << true << QByteArray("is a directory");
    }
    void aMissingOrUnreadableFileIsReportedAndKeepsTheCommand() {
        QFETCH(bool, asFolder);
        QFETCH(QByteArray, reason);
        QVERIFY(QFile::remove(dir_->filePath("Cedar.txt")));
        if (asFolder) QVERIFY(QDir(dir_->path()).mkdir("Cedar.txt"));
        Rig rig(folder());
        Pick(rig, 0);
        rig.form.setText(Control::text1, "A100R");
        Pick(rig, 4);

        const std::string path = PathInFolder(folder(), "Cedar.txt");
        QCOMPARE(rig.dialogs.messages.size(), std::size_t(1));
        const auto& box = rig.dialogs.messages[0];
        QCOMPARE(box.icon, MessageIcon::Exclamation);
        QVERIFY2(box.text.find(path) != std::string::npos, box.text.c_str());
        QVERIFY2(box.text.find(reason.toStdString()) != std::string::npos, box.text.c_str());
        QCOMPARE(rig.form.text(Control::text1), std::string("A100R"));
        QVERIFY2(Items(rig).empty(), "the Alder list must not stand in for the Cedar list");
        QCOMPARE(rig.m.CmdListFile, path);

        // Composing from it afterwards tells the same, asks nothing and changes nothing.
        rig.form.setListIndex(Control::lstCmd, 0);
        cmdAddCmd_Click(rig.m);
        QCOMPARE(rig.dialogs.messages.size(), std::size_t(2));
        QVERIFY(rig.dialogs.prompts.empty());
        QCOMPARE(rig.form.text(Control::text1), std::string("A100R"));
    }

    void anIndexOutsideTheListChangesNothing() {
        Rig rig(folder());
        rig.form.setText(Control::text1, "A1");
        Pick(rig, -1);
        Pick(rig, 7);
        QCOMPARE(rig.m.CmdListFile, std::string());
        QCOMPARE(rig.form.text(Control::text1), std::string("A1"));
        QVERIFY(rig.dialogs.messages.empty());
    }

    void fieldsAreCutAtTheirColumns_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("templ");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<bool>("indirect");
        QTest::addColumn<QByteArray>("description");
        const std::string pad(40, '.');
        auto row = [](const char* name, const std::string& line) -> QTestData& {
            return QTest::newRow(name) << QByteArray::fromStdString(line);
        };
        row("unread columns are ignored",
            pad + "k<np  " + "xxxx" + "  -5" + "x" + "65535" + "x" + "@" + "xxx" + "Jumps")
            << QByteArray("k<np  ") << -5 << 65535 << true << QByteArray("Jumps");
        row("blanks inside numbers are skipped", ListLine(pad, "An", "1 2", "2 0 0", "", "d"))
            << QByteArray("An    ") << 12 << 200 << false << QByteArray("d");
        row("display text only", pad) << QByteArray() << 0 << 0 << false << QByteArray();
        row("ends inside the template", pad + "An") << QByteArray("An") << 0 << 0 << false << QByteArray();
        row("ends inside the maximum", ListLine(pad, "An", "0", "30000").substr(0, 57))
            << QByteArray("An    ") << 0 << 30 << false << QByteArray();
        row("halves go to even", ListLine(pad, "An", "2.5", "4.5"))
            << QByteArray("An    ") << 2 << 4 << false << QByteArray();
        row("too large for their widths", ListLine(pad, "An", "1e99", "9e999"))
            << QByteArray("An    ") << 32767 << 2147483647 << false << QByteArray();
        row("a flag other than @", ListLine(pad, "An", "0", "1", "a", "x"))
            << QByteArray("An    ") << 0 << 1 << false << QByteArray("x");
    }
    void fieldsAreCutAtTheirColumns() {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, templ);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(bool, indirect);
        QFETCH(QByteArray, description);
        const CommandListLine fields = ReadCommandListLine(line.toStdString());
        QCOMPARE(fields.templ, templ.toStdString());
        QCOMPARE(int(fields.minimum()), minimum);
        QCOMPARE(int(fields.maximum()), maximum);
        QCOMPARE(fields.indirect(), indirect);
        QCOMPARE(fields.description, description.toStdString());
    }
};

ZR_TEST(CommandListTest);

#include "test_command_list.moc"

#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <set>

#include "cmdlang/checker.h"
#include "cmdlist/command_list.h"
#include "cmdlist/command_list_line.h"
#include "cmdlist/composer.h"
#include "fakes/rig.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "shared/numbers.h"
#include "shared/text_lines.h"

using namespace zr;
using namespace zr::test;

namespace {

// A command-list line in the fixed columns: display text 1-40, template 41-46, minimum
// 51-54, maximum 56-60, flag 62, description from 66.
std::string ListLine(const QByteArray& display, const QByteArray& templ, const QByteArray& minimum = "",
                     const QByteArray& maximum = "", const QByteArray& flag = "",
                     const QByteArray& description = "") {
    return (display.leftJustified(40, ' ', true) + templ.leftJustified(6, ' ', true) + "    " +
            minimum.rightJustified(4, ' ', true) + " " + maximum.rightJustified(5, ' ', true) + " " +
            flag.leftJustified(1, ' ', true) + "   " + description)
        .toStdString();
}

void WriteList(const QTemporaryDir& dir, const char* file, const std::string& line) {
    std::ofstream(dir.filePath(file).toStdString(), std::ios::binary) << line << "\r\n";
}

void Pick(Rig& rig, int device) {
    rig.form.setListIndex(Control::cboDevice, device);
    cboDevice_Click(rig.m);
}

// A rig whose Cedar list holds `line`, picked in cboDevice, its first line picked in lstCmd.
std::unique_ptr<Rig> Loaded(const QTemporaryDir& dir, const std::string& line) {
    WriteList(dir, "Cedar.txt", line);
    auto rig = std::make_unique<Rig>(dir.path().toStdString());
    Pick(*rig, 4);
    rig->form.setListIndex(Control::lstCmd, 0);
    return rig;
}

// Runs `handler` with the answers "a/b/(cancel)" ("(cancel)" is Cancel); false when its
// input boxes asked for more answers, or for fewer.
bool Answered(Rig& rig, void (*handler)(Module&), const QByteArray& answers) {
    rig.dialogs.prompts.clear();
    rig.dialogs.answers.clear();
    for (const QByteArray& answer : answers.split('/'))
        if (!answers.isEmpty())
            rig.dialogs.answers.push_back(answer == "(cancel)" ? "" : answer.toStdString());
    const std::size_t asked = rig.dialogs.answers.size();
    try {
        handler(rig.m);
    } catch (const std::logic_error& e) {
        qWarning("%s", e.what());
        return false;
    }
    return rig.dialogs.prompts.size() == asked;
}

// The error number and text, then each box shown; the command list's own box is an
// exclamation titled "Command list".
QByteArray Told(const Rig& rig) {
    QByteArray text = QByteArray::number(rig.m.ErrNum);
    if (!rig.m.ErrDetail.empty()) text += ": " + QByteArray::fromStdString(rig.m.ErrDetail);
    return text + QByteArray::fromStdString(rig.dialogs.told(MessageIcon::Exclamation, "Command list"));
}

// The checker's error number for `command`, with "R" after it when it is a run-mode command.
int Check(Module& m, const std::string& command) {
    m.CmdString = command;
    m.ErrNum = 0;
    ParseCommand(m);
    if (m.ErrNum == 0 && m.CmdMode == "p") {
        m.CmdString = command + "R";
        ParseCommand(m);
    }
    return m.ErrNum;
}

}  // namespace

// Command lists read from their files, and commands composed from their lines.
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
        for (int index : {4, -1, 7}) Pick(rig, index);  // an index outside the list changes nothing
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
    void composesFromTheTemplateAndTheAnswers_data() { AddTableRows(QFINDTESTDATA("compositions.txt")); }
    void composesFromTheTemplateAndTheAnswers() {
        QFETCH(QByteArrayList, row);
        QTemporaryDir dir;
        auto rig = Loaded(dir, ListLine("command", row[1], row[2], row[3], row.value(6), row.value(7)));
        QVERIFY(Answered(*rig, InsertCommand, row[4]));
        QCOMPARE(QByteArray::fromStdString(rig->m.WorkText), row[5]);
        QCOMPARE(Told(*rig), "0");
        if (row.size() < 9) return;
        QFile help(QFINDTESTDATA("indirect_help.txt"));
        QVERIFY(help.open(QIODevice::ReadOnly));
        QByteArrayList shown;
        for (const FakeDialogs::Prompt& p : rig->dialogs.prompts)
            shown << QByteArray::fromStdString(p.title + ": " + p.prompt);
        QCOMPARE(shown.join(" / "), row[8].replace("<help>", help.readAll().trimmed().replace("\n", "\r\n")));
    }

    void clicksOnTheCommandLine_data() { AddTableRows(QFINDTESTDATA("clicks.txt")); }
    void clicksOnTheCommandLine() {
        QFETCH(QByteArrayList, row);
        const QByteArray &list = row[2], &click = row[1];
        QTemporaryDir dir;
        WriteList(dir, "Alder.txt", ListLine("alder", "R"));
        if (list != "missing") WriteList(dir, "Cedar.txt", ListLine("speed", "Vn", "40", "10000"));
        auto rig = std::make_unique<Rig>(dir.path().toStdString());
        if (list != "-") {
            Pick(*rig, 0);
            rig->form.setText(Control::text1, "kept");
            if (list == "folder")
                QVERIFY(QFile::remove(dir.filePath("Cedar.txt")) && QDir(dir.path()).mkdir("Cedar.txt"));
            Pick(*rig, 4);
            // A pick empties the command before its list is read, even when it cannot be;
            // Alder's list never stands in for Cedar's.
            QCOMPARE(rig->form.text(Control::text1), "");
            QCOMPARE(rig->form.itemCount(Control::lstCmd), list == "file" ? 1 : 0);
        }
        rig->form.setText(Control::text1, "gA100");
        rig->form.at(Control::text1).caret = row[4].toInt();
        rig->form.setListIndex(Control::lstCmd, row[3].toInt());
        if (click == "edit") {
            rig->m.ReplyData = row[5].toStdString();
            cmdEdit_Click(rig->m);
        } else {
            QVERIFY(Answered(*rig, click == "add" ? cmdAddCmd_Click : cmdInsert_Click, row[5]));
        }
        QCOMPARE(QByteArray::fromStdString(rig->form.text(Control::text1)), row[6]);
        QCOMPARE(Told(*rig), row.value(7, "0").replace("<folder>", dir.path().toLatin1()));
    }

    // Every line of every command list in the program folder.
    void shippedLinesComposeCommandsTheCheckerAccepts_data() {
        AddTableRows(QFINDTESTDATA("device_types.txt"));
    }
    void shippedLinesComposeCommandsTheCheckerAccepts() {
        QFETCH(QByteArrayList, row);
        const std::string folder = qEnvironmentVariable("ZR_PROGRAM_DIR").toStdString();
        QVERIFY2(!folder.empty(), "ZR_PROGRAM_DIR must name the program folder with the command lists");
        Rig rig(folder);
        rig.m.MaxPosition = 48000;
        rig.m.MaxValvePort = 12;
        Pick(rig, row[1].toInt());
        QCOMPARE(rig.m.CmdListFile, folder + "/" + row[2].toStdString());
        std::string content, error;
        QVERIFY2(rig.files.read(rig.m.CmdListFile, content, error), error.c_str());
        const QByteArray rest = QByteArray::fromStdString(content).replace("\r\n", "");
        QVERIFY2(content.ends_with("\r\n") &&
                     std::all_of(rest.begin(), rest.end(), [](char c) { return c >= 0x20 && c < 0x7F; }),
                 "printable ASCII, every line ended by CR LF");
        const std::vector<std::string> lines = SplitLines(content);
        QCOMPARE(rig.form.itemCount(Control::lstCmd), int(lines.size()));

        std::set<std::string> displays;
        for (std::size_t index = 0; index < lines.size(); ++index) {
            const std::string& text = lines[index];
            const std::string where =
                row[2].toStdString() + " line " + std::to_string(index + 1) + ": " + text;
            const CommandListLine line = ReadCommandListLine(text);
            const std::string templ = line.templ.substr(0, line.templ.find(' '));
            const bool numeric = templ.find('n') != std::string::npos;
            QCOMPARE(rig.form.item(Control::lstCmd, int(index)), line.display);
            // A display text (the command first, then three blanks and what it does), a
            // template, blanks, the range as right-aligned digits or blanks, the flag, blanks
            // and a description.
            static const QRegularExpression layout(QRegularExpression::anchoredPattern(
                R"((?=\S{1,5}   \S).{40}\S.{5} {4}( {0,3}\d{1,4}| {4}) ( {0,4}\d{1,5}| {5}) [ @] {3}.+\S)"));
            QVERIFY2(layout.match(QString::fromLatin1(text)).hasMatch() &&
                         displays.insert(line.display).second && line.minimum() <= line.maximum() &&
                         numeric == (line.maximumField.back() != ' '),
                     where.c_str());
            if (std::string("AaPpDdy").find(templ[0]) != std::string::npos && numeric)
                QVERIFY2(line.maximum() == row[3].toInt(), where.c_str());

            rig.form.setListIndex(Control::lstCmd, int(index));
            QByteArrayList numbers{DecimalText(line.minimum()).c_str(), DecimalText(line.maximum()).c_str()};
            if (line.indirect()) numbers << "@3";
            for (const QByteArray& number : numbers) {
                QByteArrayList answers;  // a label "a", clockwise
                for (char code : templ.substr(1))
                    if (code == 'n' || code == 'p' || code == 's')
                        answers << (code == 'n' ? number : QByteArray(code == 'p' ? "a" : "(cancel)"));
                const std::string what = where + " with " + number.toStdString();
                QVERIFY2(Answered(rig, InsertCommand, answers.join('/')) && !rig.m.WorkText.empty(),
                         what.c_str());
                const std::string command = rig.m.WorkText;
                QVERIFY2(Check(rig.m, command) == 0,
                         (what + " gives " + command + ", error " + std::to_string(rig.m.ErrNum)).c_str());
            }
        }
    }
};

ZR_TEST(CommandListTest);

#include "test_command_list.moc"

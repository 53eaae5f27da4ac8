#include <QtTest>
#include <set>
#include <stdexcept>

#include "cmdlang/checker.h"
#include "cmdlist/command_list.h"
#include "cmdlist/command_list_line.h"
#include "cmdlist/composer.h"
#include "fakes/rig.h"
#include "fakes/test_registry.h"
#include "shared/numbers.h"
#include "shared/text_lines.h"

using namespace zr;
using namespace zr::test;

namespace {

bool Blank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

// A range field: right-aligned decimal digits, or all blanks on a line without numbers.
bool RangeField(const std::string& field) {
    const std::size_t first = field.find_first_not_of(' ');
    return first == std::string::npos || field.find_first_not_of("0123456789", first) == std::string::npos;
}

// Answers for the prompts of `templ`, in order: `number` for a number, "a" for a label,
// clockwise for a direction.
std::deque<std::string> Answers(const std::string& templ, const std::string& number) {
    std::deque<std::string> answers;
    for (std::size_t k = 1; k < templ.size(); ++k) {
        if (templ[k] == 'n') answers.push_back(number);
        if (templ[k] == 'p') answers.push_back("a");
        if (templ[k] == 's') answers.push_back("");
    }
    return answers;
}

// Composes the selected line with the answers; "" when its prompts asked for more.
std::string Compose(Rig& rig, const std::deque<std::string>& answers) {
    rig.dialogs.prompts.clear();
    rig.dialogs.answers = answers;
    try {
        InsertCommand(rig.m);
    } catch (const std::logic_error&) {
        return {};
    }
    return rig.dialogs.prompts.size() == answers.size() ? rig.m.WorkText : std::string();
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

// Every line of every command list in the program folder.
class ListFilesTest : public QObject {
    Q_OBJECT

private slots:
    void everyLineComposesACommandTheCheckerAccepts_data() {
        QTest::addColumn<int>("device");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("plunger");
        QTest::newRow("Alder") << 0 << QByteArray("Alder.txt") << 6000;
        QTest::newRow("Birch") << 1 << QByteArray("Birch.txt") << 24000;
        QTest::newRow("BirchB") << 2 << QByteArray("BirchB.txt") << 24000;
        QTest::newRow("BirchA") << 3 << QByteArray("BirchA.txt") << 24000;
        QTest::newRow("Cedar") << 4 << QByteArray("Cedar.txt") << 48000;
        QTest::newRow("d3_12k") << 5 << QByteArray("d3_12k.txt") << 12000;
    }
    void everyLineComposesACommandTheCheckerAccepts() {
        QFETCH(int, device);
        QFETCH(QByteArray, file);
        QFETCH(int, plunger);
        const std::string folder = qEnvironmentVariable("ZR_PROGRAM_DIR").toStdString();
        QVERIFY2(!folder.empty(), "ZR_PROGRAM_DIR must name the program folder with the command lists");
        Rig rig(folder);
        rig.m.MaxPosition = 48000;
        rig.m.MaxValvePort = 12;
        rig.form.setListIndex(Control::cboDevice, device);
        cboDevice_Click(rig.m);
        QVERIFY(rig.dialogs.messages.empty());

        std::string content, error;
        QVERIFY2(rig.files.read(rig.m.CmdListFile, content, error), error.c_str());
        QVERIFY(content.size() > 2 && content.substr(content.size() - 2) == "\r\n");
        for (std::size_t i = 0; i < content.size(); ++i) {
            const auto c = static_cast<unsigned char>(content[i]);
            const bool lineEnd =
                (c == '\r' && content[i + 1] == '\n') || (c == '\n' && content[i - 1] == '\r');
            QVERIFY2(lineEnd || (c >= 0x20 && c < 0x7F), qPrintable(QString("byte %1 at %2").arg(c).arg(i)));
        }
        const std::vector<std::string> lines = SplitLines(content);
        QCOMPARE(rig.form.itemCount(Control::lstCmd), int(lines.size()));

        std::set<std::string> displays;
        for (std::size_t index = 0; index < lines.size(); ++index) {
            const std::string& text = lines[index];
            const std::string where = file.toStdString() + " line " + std::to_string(index + 1) + ": " + text;
            const CommandListLine line = ReadCommandListLine(text);
            QVERIFY2(text.size() > 66 && text.back() != ' ', where.c_str());
            QVERIFY2(!Blank(line.display) && displays.insert(line.display).second, where.c_str());
            QVERIFY2(line.templ[0] != ' ', where.c_str());
            QVERIFY2(
                Blank(text.substr(46, 4)) && text[54] == ' ' && text[60] == ' ' && Blank(text.substr(62, 3)),
                where.c_str());
            QVERIFY2(line.flag == "@" || line.flag == " ", where.c_str());
            QVERIFY2(RangeField(line.minimumField) && RangeField(line.maximumField), where.c_str());
            QVERIFY2(line.minimum() <= line.maximum(), where.c_str());

            const std::string templ = line.templ.substr(0, line.templ.find(' '));
            const bool numeric = templ.find('n') != std::string::npos;
            QVERIFY2(numeric != Blank(line.maximumField), where.c_str());
            if (std::string("AaPpDdy").find(templ[0]) != std::string::npos && numeric)
                QVERIFY2(line.maximum() == plunger, where.c_str());

            rig.form.setListIndex(Control::lstCmd, int(index));
            std::vector<std::string> numbers{DecimalText(line.minimum()), DecimalText(line.maximum())};
            if (line.indirect()) numbers.push_back("@3");
            for (const std::string& number : numbers) {
                const std::string command = Compose(rig, Answers(templ, number));
                const std::string what = where + " with " + number + " gives " + command;
                QVERIFY2(!command.empty(), what.c_str());
                QVERIFY2(Check(rig.m, command) == 0,
                         (what + ", error " + std::to_string(rig.m.ErrNum)).c_str());
            }
        }
    }
};

ZR_TEST(ListFilesTest);

#include "test_list_files.moc"

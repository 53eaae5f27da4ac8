#include <QTemporaryDir>
#include <QtTest>
#include <stdexcept>

#include "cmdlist/command_list.h"
#include "cmdlist/composer.h"
#include "fakes/rig.h"
#include "fakes/test_registry.h"
#include "list_files.h"

using namespace zr;
using namespace zr::test;

namespace {

constexpr int Cedar = 4;

std::deque<std::string> Script(const QStringList& answers) {
    std::deque<std::string> script;
    for (const QString& a : answers) script.push_back(a.toLatin1().toStdString());
    return script;
}

}  // namespace

class ComposerTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::string folder() const { return dir_.path().toStdString(); }

    // A rig with the Cedar list holding `lines`, loaded, and line `selected` picked in lstCmd.
    std::unique_ptr<Rig> Loaded(const std::vector<std::string>& lines, int selected = 0) {
        std::string content;
        for (const std::string& line : lines) content += line + "\r\n";
        WriteFile(folder(), "Cedar.txt", content);
        auto rig = std::make_unique<Rig>(folder());
        rig->form.setListIndex(Control::cboDevice, Cedar);
        cboDevice_Click(rig->m);
        rig->form.setListIndex(Control::lstCmd, selected);
        return rig;
    }

    // Runs a click handler, failing the test instead of escaping when the prompts ask for
    // more answers than the script holds.
    static bool Run(void (*handler)(Module&), Rig& rig) {
        try {
            handler(rig.m);
            return true;
        } catch (const std::logic_error& e) {
            qWarning("%s", e.what());
            return false;
        }
    }

private slots:
    void composesFromTheTemplateAndTheAnswers_data() {
        QTest::addColumn<QByteArray>("templ");
        QTest::addColumn<QByteArray>("minimum");
        QTest::addColumn<QByteArray>("maximum");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QByteArray>("composed");

        auto row = [](const char* name, const char* templ, const char* min, const char* max) -> QTestData& {
            return QTest::newRow(name) << QByteArray(templ) << QByteArray(min) << QByteArray(max);
        };
        // Numbers, range 0..300.
        row("the maximum", "An", "0", "300") << QStringList{"300"} << QByteArray("A300");
        row("the minimum", "An", "0", "300") << QStringList{"0"} << QByteArray("A0");
        row("above asks again", "An", "0", "300") << QStringList{"301", "5"} << QByteArray("A5");
        row("below asks again", "An", "0", "300") << QStringList{"-1", "7"} << QByteArray("A7");
        row("a fraction over asks again", "An", "0", "300") << QStringList{"300.4", "8"} << QByteArray("A8");
        row("12abc is 12, kept as typed", "An", "0", "300") << QStringList{"12abc"} << QByteArray("A12abc");
        row("Cancel with 0 in range", "An", "0", "300") << QStringList{""} << QByteArray("A");
        row("Cancel with minimum 1", "An", "1", "300") << QStringList{""} << QByteArray("A");
        row("text reads 0, out of range, then Cancel", "An", "1", "300")
            << QStringList{"x", ""} << QByteArray("A");
        row("negative range", "An", "-5", "-1") << QStringList{"0", "-5"} << QByteArray("A-5");
        // Indirect variables.
        row("@3", "An", "1", "300") << QStringList{"@3"} << QByteArray("A@3");
        row("@10", "An", "1", "300") << QStringList{"@10"} << QByteArray("A@10");
        row("@3 outside the range too", "An", "40", "1000") << QStringList{"@3"} << QByteArray("A@3");
        row("@0 reads 0, in range", "An", "0", "300") << QStringList{"@0"} << QByteArray("A@0");
        row("@0 reads 0, out of range", "An", "1", "300") << QStringList{"@0", "4"} << QByteArray("A4");
        row("@11 reads 0, in range", "An", "0", "300") << QStringList{"@11"} << QByteArray("A@11");
        row("@11 reads 0, out of range", "An", "1", "300") << QStringList{"@11", ""} << QByteArray("A");
        // Labels.
        row("label a", "Jp", "", "") << QStringList{"a"} << QByteArray("Ja");
        row("label Z", "Jp", "", "") << QStringList{"Z"} << QByteArray("JZ");
        row("label ab", "Jp", "", "") << QStringList{"ab"} << QByteArray("Jab");
        row("[, 1, Cancel and a high byte ask again", "Jp", "", "")
            << QStringList{"[", "1", "", QString::fromLatin1("\xe9"), "`", "b"} << QByteArray("Jb");
        // Directions.
        row("direction -", "osn", "1", "12") << QStringList{"-", "3"} << QByteArray("o-3");
        row("direction empty", "osn", "1", "12") << QStringList{"", "3"} << QByteArray("o3");
        row("direction + asks again", "osn", "1", "12")
            << QStringList{"+", "cw", "-", "3"} << QByteArray("o-3");
        // Template codes.
        row("a blank ends the template", "A n", "0", "9") << QStringList{} << QByteArray("A");
        row("an N ends the template", "AN5", "0", "9") << QStringList{} << QByteArray("A");
        row("marks and digits are copied", "k<np", "0", "9") << QStringList{"5", "a"} << QByteArray("k<5a");
        row("every mark", "s,+-<", "", "") << QStringList{} << QByteArray("s,+-<");
        row("the rest of the marks", "k>=^9", "", "") << QStringList{} << QByteArray("k>=^9");
        row("two numbers share the range", "sn,n", "0", "255")
            << QStringList{"1", "255"} << QByteArray("s1,255");
        row("? second is skipped", "x?n", "1", "9") << QStringList{"5"} << QByteArray("x5");
        row("? later is copied", "fn?", "1", "8") << QStringList{"3"} << QByteArray("f3?");
        row("~ keeps capital letters", "~ABHI", "", "") << QStringList{} << QByteArray("~ABHI");
        row("~ keeps the other capitals", "~LPSVY", "", "") << QStringList{} << QByteArray("~LPSVY");
        row("~ and a small letter", "~a", "", "") << QStringList{} << QByteArray("~");
        row("other commands skip capitals", "AVn", "0", "9") << QStringList{"4"} << QByteArray("A4");
        row("the first character is always copied", "nn", "0", "9") << QStringList{"2"} << QByteArray("n2");
        row("one-character template", "R", "", "") << QStringList{} << QByteArray("R");
    }
    void composesFromTheTemplateAndTheAnswers() {
        QFETCH(QByteArray, templ);
        QFETCH(QByteArray, minimum);
        QFETCH(QByteArray, maximum);
        QFETCH(QStringList, answers);
        QFETCH(QByteArray, composed);
        auto rig =
            Loaded({ListLine("command", templ.toStdString(), minimum.toStdString(), maximum.toStdString())});
        rig->dialogs.answers = Script(answers);
        QVERIFY(Run(InsertCommand, *rig));
        QCOMPARE(rig->m.WorkText, composed.toStdString());
        QCOMPARE(rig->dialogs.prompts.size(), std::size_t(answers.size()));
        QVERIFY(rig->dialogs.messages.empty());
    }

    void promptsShowTheRangeAndTheDescription() {
        auto rig = Loaded({ListLine("speed", "Vn", "-40", "10000", " ", "Top speed."),
                           ListLine("move", "An", "0", "48000", "@", "To step n."), ListLine("jump", "Jp"),
                           ListLine("valve", "osn", "1", "12")});
        rig->dialogs.answers = Script({"100", "5", "a", "", "1"});
        QVERIFY(Run(InsertCommand, *rig));
        rig->form.setListIndex(Control::lstCmd, 1);
        QVERIFY(Run(InsertCommand, *rig));
        QCOMPARE(rig->m.ArgMin, int16_t(0));
        QCOMPARE(rig->m.ArgMax, int32_t(48000));
        rig->form.setListIndex(Control::lstCmd, 2);
        QVERIFY(Run(InsertCommand, *rig));
        rig->form.setListIndex(Control::lstCmd, 3);
        QVERIFY(Run(InsertCommand, *rig));

        const auto& prompts = rig->dialogs.prompts;
        QCOMPARE(prompts.size(), std::size_t(5));
        QCOMPARE(prompts[0].title, std::string("Enter Number"));
        QCOMPARE(prompts[0].prompt, std::string("Enter a number from   -40 to 10000\r\n\r\nTop speed."));

        const std::string plain = "Enter a number from   0 to 48000\r\n\r\nTo step n.\r\n";
        QCOMPARE(prompts[1].prompt.substr(0, plain.size()), plain);
        const QStringList help = QString::fromLatin1(prompts[1].prompt.substr(plain.size())).split("\r\n");
        QCOMPARE(help, (QStringList{"or the indirect variable @n", "n:", "     1 = Serial input byte 1",
                                    "     2 = Serial input byte 2", "     3 = Voltmeter input",
                                    "     4 = Voltmeter input, normalized BCD", "     5 = Software counter",
                                    "     6 = Valve position", "     7 = Syringe position",
                                    "     8 = Syringe position, normalized BCD",
                                    "     9 = Serial output, last byte 2 sent",
                                    "   10 = Serial output, last byte 1 sent"}));

        QCOMPARE(prompts[2].title, std::string("Enter Label"));
        QCOMPARE(prompts[2].prompt, std::string("Enter a Label letter:  a-z, A-Z"));
        QCOMPARE(prompts[3].title, std::string("Enter Direction"));
        QCOMPARE(prompts[3].prompt, std::string("Enter direction:  CW = no entry,  CCW = minus sign"));
        QCOMPARE(prompts[4].prompt, std::string("Enter a number from   1 to 12\r\n\r\n"));
    }

    void addAndInsertPlaceTheCommand_data() {
        QTest::addColumn<bool>("insert");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("Add appends") << false << 0 << QByteArray("gA100V50");
        QTest::newRow("Insert at 0") << true << 0 << QByteArray("V50gA100");
        QTest::newRow("Insert in the middle") << true << 1 << QByteArray("gV50A100");
        QTest::newRow("Insert at the end") << true << 5 << QByteArray("gA100V50");
        QTest::newRow("Insert past the end") << true << 40 << QByteArray("gA100V50");
        QTest::newRow("Insert before the start") << true << -3 << QByteArray("V50gA100");
    }
    void addAndInsertPlaceTheCommand() {
        QFETCH(bool, insert);
        QFETCH(int, caret);
        QFETCH(QByteArray, text);
        auto rig = Loaded({ListLine("speed", "Vn", "40", "10000")});
        rig->form.setText(Control::text1, "gA100");
        rig->form.at(Control::text1).caret = caret;
        rig->dialogs.answers = Script({"50"});
        QVERIFY(Run(insert ? cmdInsert_Click : cmdAddCmd_Click, *rig));
        QCOMPARE(rig->form.text(Control::text1), text.toStdString());
    }

    void nothingIsComposedWithoutALine_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("messages");
        QTest::newRow("nothing selected") << -1 << 0;
        QTest::newRow("a line the file no longer has") << 3 << 1;
    }
    void nothingIsComposedWithoutALine() {
        QFETCH(int, selected);
        QFETCH(int, messages);
        auto rig = Loaded({ListLine("speed", "Vn", "40", "10000")}, selected);
        rig->form.setText(Control::text1, "gA100");
        rig->form.at(Control::text1).caret = 2;
        for (auto handler : {cmdAddCmd_Click, cmdInsert_Click}) QVERIFY(Run(handler, *rig));
        QCOMPARE(rig->form.text(Control::text1), std::string("gA100"));
        QCOMPARE(rig->m.WorkText, std::string());
        QVERIFY(rig->dialogs.prompts.empty());
        QCOMPARE(int(rig->dialogs.messages.size()), 2 * messages);
    }

    void aFileThatShrankSinceLoadingComposesNothing() {
        auto rig = Loaded({ListLine("one", "R"), ListLine("two", "H"), ListLine("three", "g")}, 2);
        WriteFile(folder(), "Cedar.txt", ListLine("one", "R") + "\r\n");
        QVERIFY(Run(cmdAddCmd_Click, *rig));
        QCOMPARE(rig->form.text(Control::text1), std::string());
        QCOMPARE(rig->dialogs.messages.size(), std::size_t(1));
        QVERIFY(rig->dialogs.messages[0].text.find("Cedar.txt") != std::string::npos);
    }

    void addBeforeAnyDeviceTypeTellsTheOperator() {
        Rig rig(folder());
        rig.form.setText(Control::text1, "A1");
        for (auto handler : {cmdAddCmd_Click, cmdInsert_Click}) QVERIFY(Run(handler, rig));
        QCOMPARE(rig.form.text(Control::text1), std::string("A1"));
        QVERIFY(rig.dialogs.prompts.empty());
        QCOMPARE(rig.dialogs.messages.size(), std::size_t(2));
        QCOMPARE(rig.dialogs.messages[0].icon, MessageIcon::Exclamation);
        QVERIFY(rig.dialogs.messages[0].text.find("device type") != std::string::npos);
    }

    void editCopiesTheReplyWithoutItsLastCharacter_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("error");
        QTest::newRow("two characters") << QByteArray("ab") << QByteArray("a") << 0;
        QTest::newRow("one character") << QByteArray("a") << QByteArray("") << 0;
        QTest::newRow("a stored program") << QByteArray("A3000V50A0R\x03") << QByteArray("A3000V50A0R") << 0;
        QTest::newRow("no reply data") << QByteArray("") << QByteArray("kept") << 12;
    }
    void editCopiesTheReplyWithoutItsLastCharacter() {
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, text);
        QFETCH(int, error);
        Rig rig(folder());
        rig.form.setText(Control::text1, "kept");
        rig.m.ReplyData = reply.toStdString();
        cmdEdit_Click(rig.m);
        QCOMPARE(rig.form.text(Control::text1), text.toStdString());
        QCOMPARE(int(rig.m.ErrNum), error);
        QCOMPARE(rig.m.ErrDetail, std::string(error ? "Cannot copy empty command string" : ""));
        QVERIFY(rig.dialogs.messages.empty());
    }
};

ZR_TEST(ComposerTest);

#include "test_composer.moc"

#include <QTemporaryDir>
#include <QtTest>
#include <stdexcept>

#include "cmdlist/command_list.h"
#include "cmdlist/composer.h"
#include "fakes/rig.h"
#include "fakes/table_file.h"
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
    void composesFromTheTemplateAndTheAnswers_data() { AddTableRows(QFINDTESTDATA("compositions.txt")); }
    void composesFromTheTemplateAndTheAnswers() {
        QFETCH(QByteArrayList, row);
        std::deque<std::string> answers;
        for (const QByteArray& answer : row[4].split('/'))
            if (!row[4].isEmpty()) answers.push_back(answer == "(cancel)" ? "" : answer.toStdString());
        const std::size_t asked = answers.size();
        auto rig =
            Loaded({ListLine("command", row[1].toStdString(), row[2].toStdString(), row[3].toStdString())});
        rig->dialogs.answers = answers;
        QVERIFY(Run(InsertCommand, *rig));
        QCOMPARE(QByteArray::fromStdString(rig->m.WorkText), row[5]);
        QCOMPARE(rig->dialogs.prompts.size(), asked);
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

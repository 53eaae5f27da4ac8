#include <QtTest>

#include "fakes/rig.h"
#include "fakes/rows_file.h"
#include "fakes/test_registry.h"
#include "reply/interpret_reply.h"

class ReportsTest : public QObject {
    Q_OBJECT
private slots:
    void statusCharacterGivesCodeReadinessAndMeaning_data();
    void statusCharacterGivesCodeReadinessAndMeaning();
    void earlierTextsAndErrorsAreReplaced();
    void sentenceForEachCommandAndData_data();
    void sentenceForEachCommandAndData();
    void onlyAnEditReplyEnablesTheEditButton_data();
    void onlyAnEditReplyEnablesTheEditButton();
};

using namespace zr;

namespace {

// Interprets a reply to `command` carrying `data`, ready unless a status character is given.
void Interpret(test::Rig& rig, const std::string& command, const std::string& data, char status = '`') {
    rig.m.StatusChar.assign(1, status);
    rig.m.CmdString = command;
    rig.m.ReplyData = data;
    InterpretReply(rig.m);
}

}  // namespace

void ReportsTest::statusCharacterGivesCodeReadinessAndMeaning_data() {
    QTest::addColumn<char>("statusChar");
    QTest::addColumn<QByteArray>("codeText");
    QTest::addColumn<QByteArray>("statusText");
    for (const auto& row : test::ReadRows(ZR_ROWS_DIR "/status_rows.tsv"))
        QTest::newRow(row.at(1).c_str()) << row.at(0).at(0) << QByteArray::fromStdString(row.at(1))
                                         << QByteArray::fromStdString(row.at(2));
}

void ReportsTest::statusCharacterGivesCodeReadinessAndMeaning() {
    QFETCH(char, statusChar);
    QFETCH(QByteArray, codeText);
    QFETCH(QByteArray, statusText);
    test::Rig rig;
    Interpret(rig, "?", "5", statusChar);
    QCOMPARE(QByteArray::fromStdString(rig.m.StatusCodeText), codeText);
    QCOMPARE(QByteArray::fromStdString(rig.m.StatusText), statusText);
}

void ReportsTest::earlierTextsAndErrorsAreReplaced() {
    test::Rig rig;
    rig.m.StatusText = "old status";
    rig.m.ReplyText = "old reply";
    rig.m.ErrNum = 7;
    rig.m.ErrDetail = "old error";
    Interpret(rig, "?", "5");
    QCOMPARE(rig.m.StatusText, std::string("(Ready) OK"));
    QCOMPARE(rig.m.ReplyText, std::string("Absolute position = 5 Steps"));
    QCOMPARE(rig.m.ErrNum, int16_t(0));
    QCOMPARE(rig.m.ErrDetail, std::string());
}

void ReportsTest::sentenceForEachCommandAndData_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("report");
    for (const auto& row : test::ReadRows(ZR_ROWS_DIR "/report_rows.tsv"))
        QTest::newRow(row.at(0).c_str())
            << QByteArray::fromStdString(row.at(1)) << QByteArray::fromStdString(row.at(2))
            << QByteArray::fromStdString(row.at(3));
}

void ReportsTest::sentenceForEachCommandAndData() {
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, report);
    test::Rig rig;
    Interpret(rig, command.toStdString(), data.toStdString());
    QCOMPARE(QByteArray::fromStdString(rig.m.ReplyText), report);
}

void ReportsTest::onlyAnEditReplyEnablesTheEditButton_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("q") << QByteArray("q") << QByteArray("A100R\x03") << true;
    QTest::newRow("q without data") << QByteArray("q") << QByteArray() << false;
    for (const char* command : {"?", "Q", "~q", "E1", "Z"})
        QTest::newRow(command) << QByteArray(command) << QByteArray("5") << false;
}

void ReportsTest::onlyAnEditReplyEnablesTheEditButton() {
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, data);
    QFETCH(bool, enabled);
    test::Rig rig;
    rig.form.setEnabled(Control::cmdEdit, false);
    Interpret(rig, command.toStdString(), data.toStdString());
    QCOMPARE(rig.form.enabled(Control::cmdEdit), enabled);
}

ZR_TEST(ReportsTest);
#include "test_reports.moc"

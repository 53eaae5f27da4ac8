#include <QtTest>

#include "fakes/rig.h"
#include "fakes/rows_file.h"
#include "fakes/test_registry.h"
#include "reply/interpret_reply.h"

using namespace zr;

namespace {

// Interprets a reply to `command` carrying `data` on a module that still holds an earlier
// reply's texts and error, with the Edit button disabled.
void Interpret(test::Rig& rig, const std::string& status, const std::string& command,
               const std::string& data) {
    rig.m.StatusText = rig.m.ReplyText = rig.m.ErrDetail = "old";
    rig.m.ErrNum = 7;
    rig.form.setEnabled(Control::cmdEdit, false);
    rig.m.StatusChar = status;
    rig.m.CmdString = command;
    rig.m.ReplyData = data;
    InterpretReply(rig.m);
    QCOMPARE(rig.m.ErrNum, int16_t(0));
    QCOMPARE(rig.m.ErrDetail, "");
}

void AddRows(const char* file, std::initializer_list<const char*> columns) {
    for (const char* column : columns) QTest::addColumn<QByteArray>(column);
    for (const auto& row : test::ReadRows(std::string(ZR_ROWS_DIR "/") + file)) {
        auto& data = QTest::newRow(row.at(0).c_str());
        for (std::size_t i = 0; i < columns.size(); ++i)
            data << (i < row.size() ? QByteArray::fromStdString(row[i]) : QByteArray());
    }
}

}  // namespace

class ReportsTest : public QObject {
    Q_OBJECT
private slots:
    void statusCharacterGivesCodeReadinessAndMeaning_data() {
        AddRows("status_rows.tsv", {"statusChar", "codeText", "statusText"});
    }
    void statusCharacterGivesCodeReadinessAndMeaning() {
        QFETCH(QByteArray, statusChar);
        QFETCH(QByteArray, codeText);
        QFETCH(QByteArray, statusText);
        test::Rig rig;
        Interpret(rig, statusChar.toStdString(), "?", "5");
        QCOMPARE(QByteArray::fromStdString(rig.m.StatusCodeText), codeText);
        QCOMPARE(QByteArray::fromStdString(rig.m.StatusText), statusText);
        QCOMPARE(rig.m.ReplyText, "Absolute position = 5 Steps");
    }

    void sentenceForEachCommandAndData_data() {
        AddRows("report_rows.tsv", {"name", "command", "data", "report", "edit"});
    }
    void sentenceForEachCommandAndData() {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, report);
        QFETCH(QByteArray, edit);
        test::Rig rig;
        Interpret(rig, "`", command.toStdString(), data.toStdString());
        QCOMPARE(QByteArray::fromStdString(rig.m.ReplyText), report);
        QCOMPARE(QByteArray::fromStdString(rig.m.StatusText), "(Ready) OK");
        QCOMPARE(rig.form.enabled(Control::cmdEdit), edit == "edit");
    }
};

ZR_TEST(ReportsTest);
#include "test_reports.moc"

#include <QTest>

#include "cmdlang/parse_display.h"
#include "fakes/rig.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "reply/interpret_reply.h"

using namespace zr;

namespace {

// Interprets a reply to `command` carrying `data` on a module that still holds an earlier
// reply's texts and error, with the Edit button disabled: no error is left.
void Interpret(test::Rig& rig, const QByteArray& status, const QByteArray& command, const QByteArray& data) {
    rig.m.StatusText = rig.m.ReplyText = rig.m.ErrDetail = "old";
    rig.m.ErrNum = 7;
    rig.form.setEnabled(Control::cmdEdit, false);
    rig.m.StatusChar = status.toStdString();
    rig.m.CmdString = command.toStdString();
    rig.m.ReplyData = data.toStdString();
    InterpretReply(rig.m);
    QCOMPARE(rig.m.ErrNum, int16_t(0));
    QCOMPARE(rig.m.ErrDetail, "");
}

}  // namespace

class ReportsTest : public QObject {
    Q_OBJECT
private slots:
    void statusCharacterGivesCodeReadinessAndMeaning_data() {
        test::AddTableRows(QFINDTESTDATA("statuses.txt"));
    }
    void statusCharacterGivesCodeReadinessAndMeaning() {
        QFETCH(QByteArrayList, row);
        test::Rig rig;
        Interpret(rig, row[0], "?", "5");
        QCOMPARE(QByteArray::fromStdString(rig.m.StatusCodeText), row[1]);
        QCOMPARE(QByteArray::fromStdString(rig.m.StatusText), row[2]);
    }

    void sentenceForEachCommandAndData_data() { test::AddTableRows(QFINDTESTDATA("reports.txt")); }
    void sentenceForEachCommandAndData() {
        QFETCH(QByteArrayList, row);
        test::Rig rig;
        Interpret(rig, "`", row[1], row[2]);
        QCOMPARE(QByteArray::fromStdString(rig.m.ReplyText), row[3]);
        QCOMPARE(rig.form.enabled(Control::cmdEdit), row[4] == "edit");
    }

    // The reply and parse fields page with their scroll bars.
    void scrollValueDropsLeadingCharacters_data() { test::AddTableRows(QFINDTESTDATA("paging.txt")); }
    void scrollValueDropsLeadingCharacters() {
        QFETCH(QByteArrayList, row);
        const bool reply = row[1] == "reply";
        const Control bar = reply ? Control::scrReply : Control::scrParse;
        const QByteArray text = row[2].repeated(row[3].toInt());
        test::Rig rig;
        (reply ? rig.m.ReplyText : rig.m.ParseText) = text.toStdString();
        rig.form.setValue(bar, row[4].toInt());
        (reply ? scrReply_Change : scrParse_Change)(rig.m);
        QCOMPARE(rig.form.maximum(bar), row[5].toInt());
        QCOMPARE(QByteArray::fromStdString(rig.form.text(reply ? Control::lblReply : Control::lblParse)),
                 text.mid(row[6].toInt()));
    }
};

ZR_TEST(ReportsTest);
#include "test_reports.moc"

#include <QtTest>

#include "cmdlang/parse_display.h"
#include "fakes/rig.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "reply/interpret_reply.h"

using namespace zr;

class PagingTest : public QObject {
    Q_OBJECT
private slots:
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

ZR_TEST(PagingTest);
#include "test_paging.moc"

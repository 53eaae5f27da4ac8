#include <QtTest>

#include "fakes/rig.h"
#include "fakes/test_registry.h"
#include "reply/interpret_reply.h"

class ReplyPagingTest : public QObject {
    Q_OBJECT
private slots:
    void scrollValueDropsLeadingCharacters_data();
    void scrollValueDropsLeadingCharacters();
};

using namespace zr;

void ReplyPagingTest::scrollValueDropsLeadingCharacters_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("shownFrom");  // index into the reply; its length: an empty field
    const QByteArray reply = "Absolute position = 1200 Steps";
    QTest::newRow("0 shows all") << reply << 0 << 30 << 0;
    QTest::newRow("one before the end") << reply << 29 << 30 << 29;
    QTest::newRow("the length") << reply << 30 << 30 << 30;
    QTest::newRow("beyond the length") << reply << 40 << 30 << 30;
    QTest::newRow("below the range") << reply << -3 << 30 << 0;
    QTest::newRow("range is 16 bits") << QByteArray(40003, 'x') << 32767 << 32767 << 32767;
}

void ReplyPagingTest::scrollValueDropsLeadingCharacters() {
    QFETCH(QByteArray, reply);
    QFETCH(int, value);
    QFETCH(int, max);
    QFETCH(int, shownFrom);
    test::Rig rig;
    rig.m.ReplyText = reply.toStdString();
    rig.form.setValue(Control::scrReply, value);
    scrReply_Change(rig.m);
    QCOMPARE(rig.form.maximum(Control::scrReply), max);
    QCOMPARE(QByteArray::fromStdString(rig.form.text(Control::lblReply)), reply.mid(shownFrom));
}

ZR_TEST(ReplyPagingTest);
#include "test_reply_paging.moc"

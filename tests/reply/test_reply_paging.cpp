#include <QtTest>

#include "fakes/rig.h"
#include "fakes/test_registry.h"
#include "reply/interpret_reply.h"

class ReplyPagingTest : public QObject {
    Q_OBJECT
private slots:
    void scrollValueDropsLeadingCharacters_data();
    void scrollValueDropsLeadingCharacters();
    void longestRangeIsSixteenBits();
};

using namespace zr;

void ReplyPagingTest::scrollValueDropsLeadingCharacters_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("0 shows all") << 0 << QByteArray("Absolute position = 1200 Steps");
    QTest::newRow("9") << 9 << QByteArray("position = 1200 Steps");
    QTest::newRow("one before the end") << 29 << QByteArray("s");
    QTest::newRow("the length") << 30 << QByteArray("");
    QTest::newRow("beyond the length") << 40 << QByteArray("");
    QTest::newRow("below the range") << -3 << QByteArray("Absolute position = 1200 Steps");
}

void ReplyPagingTest::scrollValueDropsLeadingCharacters() {
    QFETCH(int, value);
    QFETCH(QByteArray, shown);
    test::Rig rig;
    rig.m.ReplyText = "Absolute position = 1200 Steps";
    rig.form.setValue(Control::scrReply, value);
    scrReply_Change(rig.m);
    QCOMPARE(rig.form.maximum(Control::scrReply), 30);
    QCOMPARE(QByteArray::fromStdString(rig.form.text(Control::lblReply)), shown);
}

void ReplyPagingTest::longestRangeIsSixteenBits() {
    test::Rig rig;
    rig.m.ReplyText = std::string(40000, 'x') + "end";
    rig.form.setValue(Control::scrReply, 32767);
    scrReply_Change(rig.m);
    QCOMPARE(rig.form.maximum(Control::scrReply), 32767);
    QCOMPARE(rig.form.text(Control::lblReply).size(), std::size_t(40003 - 32767));
}

ZR_TEST(ReplyPagingTest);
#include "test_reply_paging.moc"

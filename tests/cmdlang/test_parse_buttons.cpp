#include <QtTest>

#include "cmdlang/parse_display.h"
#include "fakes/rig.h"
#include "fakes/test_registry.h"

class ParseButtonsTest : public QObject {
    Q_OBJECT
private slots:
    void parseShowsTheFormAndBoxesTheError_data();
    void parseShowsTheFormAndBoxesTheError();
    void unparseCompactsTheCaptionAndKeepsTheCommandLine_data();
    void unparseCompactsTheCaptionAndKeepsTheCommandLine();
    void scrollBarPagesTheForm_data();
    void scrollBarPagesTheForm();
};

using namespace zr;

namespace {

struct Board : test::Rig {
    Board() {
        m.MaxPosition = 48000;
        m.MaxValvePort = 12;
    }
    QByteArray caption() const { return QByteArray::fromStdString(form.text(Control::lblParse)); }
};

}  // namespace

void ParseButtonsTest::parseShowsTheFormAndBoxesTheError_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("form");
    QTest::addColumn<QByteArray>("box");  // empty: no box
    const QByteArray head = "Command syntax error at character #";
    QTest::newRow("A100R") << QByteArray("A100R") << QByteArray("A100   R   ") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray() << head + "1\r\ninvalid command";
    QTest::newRow("A50000R") << QByteArray("A50000R") << QByteArray("A    Error")
                             << head + "6\r\ninvalid argument";
    QTest::newRow("FA") << QByteArray("FA") << QByteArray("F       Error")
                        << head + "2\r\nCannot mix 'immediate' mode with 'run' mode commands";
    QTest::newRow("missing label") << QByteArray("A100?") << QByteArray("A100       Error")
                                   << head + "5\r\nLabel letter (A to Z or a to z) expected";
    QTest::newRow("overrun") << QByteArray("f5") << QByteArray("f5") << head + "4\r\ninvalid command";
}

void ParseButtonsTest::parseShowsTheFormAndBoxesTheError() {
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, form);
    QFETCH(QByteArray, box);
    Board b;
    b.form.setText(Control::text1, line.toStdString());
    b.form.at(Control::lblParse).text = "old";
    int boxesWhenEventsRan = -1;
    b.events.onProcess = [&] { boxesWhenEventsRan = int(b.dialogs.messages.size()); };
    cmdParse_Click(b.m);
    QCOMPARE(b.caption(), form);
    QCOMPARE(QByteArray::fromStdString(b.m.ParseText), form);
    QCOMPARE(b.events.count, 1);
    QCOMPARE(boxesWhenEventsRan, box.isEmpty() ? 0 : 1);  // pending events run after the box
    QCOMPARE(int(b.dialogs.messages.size()), box.isEmpty() ? 0 : 1);
    if (box.isEmpty()) return;
    const auto& shown = b.dialogs.messages.front();
    QCOMPARE(QByteArray::fromStdString(shown.text), box);
    QCOMPARE(shown.title, std::string("Error"));
    QVERIFY(shown.icon == MessageIcon::Critical);
}

void ParseButtonsTest::unparseCompactsTheCaptionAndKeepsTheCommandLine_data() {
    QTest::addColumn<QByteArray>("caption");
    QTest::addColumn<QByteArray>("compact");
    QTest::newRow("clean form") << QByteArray("A100   R   ") << QByteArray("A100R");
    QTest::newRow("failed number is gone") << QByteArray("A    Error") << QByteArray("A");
    QTest::newRow("no blank, no Error") << QByteArray("gA3000\tR") << QByteArray("gA3000\tR");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("Error is exact case")
        << QByteArray("error ErrorErro r") << QByteArray("error");  // blanks go first
}

void ParseButtonsTest::unparseCompactsTheCaptionAndKeepsTheCommandLine() {
    QFETCH(QByteArray, caption);
    QFETCH(QByteArray, compact);
    Board b;
    b.form.setText(Control::text1, "A3000R");
    b.form.at(Control::lblParse).text = caption.toStdString();
    cmdUnparse_Click(b.m);
    QCOMPARE(b.caption(), compact);
    QCOMPARE(QByteArray::fromStdString(b.m.ParseText), compact);
    QCOMPARE(b.m.CmdString, std::string("A3000R"));  // Send still transmits the command line
    QCOMPARE(b.events.count, 1);
}

void ParseButtonsTest::scrollBarPagesTheForm_data() {
    QTest::addColumn<QByteArray>("parseText");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("shownFrom");  // index into parseText; its length: empty caption
    const QByteArray form = "A100   R   ";
    QTest::newRow("0 shows all") << form << 0 << 11 << 0;
    QTest::newRow("4") << form << 4 << 11 << 4;
    QTest::newRow("upper end is empty") << form << 11 << 11 << 11;
    QTest::newRow("past the end is clamped") << form << 40 << 11 << 11;
    QTest::newRow("before any Parse") << QByteArray() << 0 << 0 << 0;
    const QByteArray huge(65534, 'g');
    QTest::newRow("long form, middle") << huge << 16000 << 32767 << int(16000LL * 65534 / 32767);
    QTest::newRow("long form, upper end") << huge << 32767 << 32767 << 65534;
}

void ParseButtonsTest::scrollBarPagesTheForm() {
    QFETCH(QByteArray, parseText);
    QFETCH(int, value);
    QFETCH(int, max);
    QFETCH(int, shownFrom);
    Board b;
    b.m.ParseText = parseText.toStdString();
    b.form.setValue(Control::scrParse, value);
    scrParse_Change(b.m);
    QCOMPARE(b.form.maximum(Control::scrParse), max);
    QCOMPARE(b.caption(), parseText.mid(shownFrom));
}

ZR_TEST(ParseButtonsTest);
#include "test_parse_buttons.moc"

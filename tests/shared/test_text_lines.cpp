#include <QtTest>

#include "fakes/test_registry.h"
#include "shared/text_lines.h"

class TextLinesTest : public QObject {
    Q_OBJECT
private slots:
    void linesEndAtCarriageReturnWithOrWithoutLineFeed_data();
    void linesEndAtCarriageReturnWithOrWithoutLineFeed();
};

using namespace zr;

void TextLinesTest::linesEndAtCarriageReturnWithOrWithoutLineFeed_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty text") << QByteArray("") << QStringList{};
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("cr only") << QByteArray("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("last line open") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("empty lines kept") << QByteArray("\r\n\r\nx\r\n") << QStringList{"", "", "x"};
    QTest::newRow("lone line feed stays in the line") << QByteArray("a\nb\r\n") << QStringList{"a\nb"};
    QTest::newRow("cr cr lf") << QByteArray("a\r\r\nb") << QStringList{"a", "", "b"};
}

void TextLinesTest::linesEndAtCarriageReturnWithOrWithoutLineFeed() {
    QFETCH(QByteArray, text);
    QFETCH(QStringList, lines);
    QStringList got;
    for (const auto& line : SplitLines(text.toStdString())) got << QString::fromStdString(line);
    QCOMPARE(got, lines);
}

ZR_TEST(TextLinesTest);
#include "test_text_lines.moc"

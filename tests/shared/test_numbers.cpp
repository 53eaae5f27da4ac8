#include <QtTest>

#include "fakes/test_registry.h"
#include "shared/numbers.h"

class NumbersTest : public QObject {
    Q_OBJECT
private slots:
    void numericValueReadsLikeTheProgram_data();
    void numericValueReadsLikeTheProgram();
    void roundingTakesHalvesToEven_data();
    void roundingTakesHalvesToEven();
    void valuesTooLargeFor16BitsStopAtItsEnds();
    void signedAndDecimalTexts_data();
    void signedAndDecimalTexts();
};

using namespace zr;

void NumbersTest::numericValueReadsLikeTheProgram_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("digits") << QByteArray("1200") << 1200.0;
    QTest::newRow("blanks inside are skipped") << QByteArray("12 34") << 1234.0;
    QTest::newRow("tabs and line feeds too") << QByteArray("\t1\n2 3") << 123.0;
    QTest::newRow("stops at a letter") << QByteArray("7R") << 7.0;
    QTest::newRow("empty") << QByteArray("") << 0.0;
    QTest::newRow("no number") << QByteArray("abc") << 0.0;
    QTest::newRow("negative") << QByteArray("-1") << -1.0;
    QTest::newRow("plus sign") << QByteArray("+5") << 5.0;
    QTest::newRow("fraction") << QByteArray(" 2.5x") << 2.5;
    QTest::newRow("leading point") << QByteArray(".5") << 0.5;
    QTest::newRow("exponent") << QByteArray("1e3") << 1000.0;
    QTest::newRow("exponent without digits stops") << QByteArray("3e") << 3.0;
    QTest::newRow("carriage return stops") << QByteArray("4\r5") << 4.0;
    QTest::newRow("lone sign") << QByteArray("-") << 0.0;
    QTest::newRow("high bytes stop") << QByteArray("9\xff" "1") << 9.0;
}

void NumbersTest::numericValueReadsLikeTheProgram() {
    QFETCH(QByteArray, text);
    QFETCH(double, value);
    QCOMPARE(NumericValue(text.toStdString()), value);
}

void NumbersTest::roundingTakesHalvesToEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");
    QTest::newRow("0.5") << 0.5 << 0.0;
    QTest::newRow("1.5") << 1.5 << 2.0;
    QTest::newRow("2.5") << 2.5 << 2.0;
    QTest::newRow("-0.5") << -0.5 << 0.0;
    QTest::newRow("-1.5") << -1.5 << -2.0;
    QTest::newRow("2.6") << 2.6 << 3.0;
}

void NumbersTest::roundingTakesHalvesToEven() {
    QFETCH(double, value);
    QFETCH(double, rounded);
    QCOMPARE(RoundHalfEven(value), rounded);
}

void NumbersTest::valuesTooLargeFor16BitsStopAtItsEnds() {
    QCOMPARE(RoundToInt16(32767.4), int16_t(32767));
    QCOMPARE(RoundToInt16(1e12), int16_t(32767));
    QCOMPARE(RoundToInt16(-1e12), int16_t(-32768));
    QCOMPARE(RoundToInt16(NumericValue("1e999")), int16_t(32767));
}

void NumbersTest::signedAndDecimalTexts_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("single 2.56") << "single" << 128.0 / 50 << " 2.56";
    QTest::newRow("single -1.5") << "single" << -1.5 << "-1.5";
    QTest::newRow("single 24.6") << "single" << 246.0 / 10 << " 24.6";
    QTest::newRow("single keeps 7 digits") << "single" << 1.0 / 3 << " 0.3333333";
    QTest::newRow("single large") << "single" << 123456789.0 << " 1.234568E+08";
    QTest::newRow("double 9600") << "double" << 9600.0 << " 9600";
    QTest::newRow("double 76800") << "double" << 76800.0 << " 76800";
    QTest::newRow("double keeps 15 digits") << "double" << 0.1 + 0.2 << " 0.3";
    QTest::newRow("double zero") << "double" << 0.0 << " 0";
    QTest::newRow("double small") << "double" << 0.00001 << " 1E-05";
    QTest::newRow("decimal negative") << "decimal" << -2.0 << "-2";
    QTest::newRow("decimal positive") << "decimal" << 48000.0 << "48000";
    QTest::newRow("decimal fraction") << "decimal" << 1.5 << "1.5";
}

void NumbersTest::signedAndDecimalTexts() {
    QFETCH(QString, kind);
    QFETCH(double, value);
    QFETCH(QString, text);
    std::string got;
    if (kind == "single") got = SignedTextSingle(static_cast<float>(value));
    else if (kind == "double") got = SignedTextDouble(value);
    else got = DecimalText(value);
    QCOMPARE(QString::fromStdString(got), text);
}

ZR_TEST(NumbersTest);
#include "test_numbers.moc"

#include <QtTest>

#include "fakes/test_registry.h"
#include "platform/line_settings.h"

class LineSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void wellFormedSettingsAreRead_data();
    void wellFormedSettingsAreRead();
    void malformedSettingsAreRefused_data();
    void malformedSettingsAreRefused();
};

using namespace zr;

void LineSettingsTest::wellFormedSettingsAreRead_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    QTest::newRow("the usual") << "9600,n,8,1" << 9600 << int(QSerialPort::NoParity) << 8
                               << int(QSerialPort::OneStop);
    QTest::newRow("upper-case parity")
        << "38400,N,8,1" << 38400 << int(QSerialPort::NoParity) << 8 << int(QSerialPort::OneStop);
    QTest::newRow("even, 7 bits, 2 stop")
        << "1200,e,7,2" << 1200 << int(QSerialPort::EvenParity) << 7 << int(QSerialPort::TwoStop);
    QTest::newRow("odd, 5 bits, 1.5 stop")
        << "4800,O,5,1.5" << 4800 << int(QSerialPort::OddParity) << 5 << int(QSerialPort::OneAndHalfStop);
    QTest::newRow("mark") << "2400,m,8,1" << 2400 << int(QSerialPort::MarkParity) << 8
                          << int(QSerialPort::OneStop);
    QTest::newRow("space") << "19200,s,6,1" << 19200 << int(QSerialPort::SpaceParity) << 6
                           << int(QSerialPort::OneStop);
}

void LineSettingsTest::wellFormedSettingsAreRead() {
    QFETCH(QString, text);
    QFETCH(int, baud);
    QFETCH(int, parity);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    const auto line = ParseLineSettings(text.toStdString());
    QVERIFY(line.has_value());
    QCOMPARE(line->baud, baud);
    QCOMPARE(int(line->parity), parity);
    QCOMPARE(int(line->dataBits), dataBits);
    QCOMPARE(int(line->stopBits), stopBits);
}

void LineSettingsTest::malformedSettingsAreRefused_data() {
    QTest::addColumn<QString>("text");
    for (const char* text : {"", "9600", "9600,n,8", "9600,n,8,1,", ",n,8,1", "0,n,8,1", "-9600,n,8,1",
                             "96OO,n,8,1", "9600 ,n,8,1", "9600,x,8,1", "9600,nn,8,1", "9600,,8,1",
                             "9600,n,4,1", "9600,n,9,1", "9600,n,8,3", "9600,n,8,1.0", "99999999999,n,8,1"})
        QTest::newRow(text) << QString::fromLatin1(text);
}

void LineSettingsTest::malformedSettingsAreRefused() {
    QFETCH(QString, text);
    QVERIFY(!ParseLineSettings(text.toStdString()).has_value());
}

ZR_TEST(LineSettingsTest);
#include "test_line_settings.moc"

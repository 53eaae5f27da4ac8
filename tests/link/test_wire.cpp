#include <QtTest>

#include "fakes/rig.h"
#include "fakes/test_registry.h"
#include "link/address.h"
#include "link/error_messages.h"
#include "link/frames.h"
#include "link/reply_decoders.h"
#include "link/serial_setup.h"

class WireTest : public QObject {
    Q_OBJECT
private slots:
    void errorTextsAreStoredExactly_data();
    void errorTextsAreStoredExactly();
    void numbersWithoutTextLeaveTheDetail();
    void everyAddressIndexHasItsCharacterAndClass_data();
    void everyAddressIndexHasItsCharacterAndClass();
    void addressesOutsideTheListAreClassified();
    void framesAreExactBytes_data();
    void framesAreExactBytes();
    void dtRepliesDecodeByPosition_data();
    void dtRepliesDecodeByPosition();
    void oemRepliesPassOnlyWithTheirChecksum_data();
    void oemRepliesPassOnlyWithTheirChecksum();
    void portSetupSetsItsPropertiesInOrder();
};

using namespace zr;

void WireTest::errorTextsAreStoredExactly_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("1") << 1 << "OEM communications failed";
    QTest::newRow("2") << 2 << "Comm received too few bytes";
    QTest::newRow("3") << 3 << "OEM comm checksum error";
    QTest::newRow("4") << 4 << "Program file not found";
    QTest::newRow("5") << 5 << "Program command string is empty.";
    QTest::newRow("6") << 6 << "invalid command";
    QTest::newRow("7") << 7 << "invalid argument";
    QTest::newRow("8") << 8 << "Cannot mix 'immediate' mode with 'run' mode commands";
    QTest::newRow("9") << 9 << "No such command";
    QTest::newRow("10") << 10 << "Cannot save: file name is illegal or missing";
    QTest::newRow("11") << 11 << "Cannot save: command string is illegal or empty";
    QTest::newRow("12") << 12 << "Cannot copy empty command string";
    QTest::newRow("13") << 13 << "Label letter (A to Z or a to z) expected";
    QTest::newRow("14") << 14 << "Command string too long";
}

void WireTest::errorTextsAreStoredExactly() {
    QFETCH(int, number);
    QFETCH(QString, text);
    test::Rig rig;
    rig.m.ErrNum = static_cast<int16_t>(number);
    ErrorMessage(rig.m);
    ErrorMessage(rig.m);  // a second call gives the same text, never appends
    QCOMPARE(QString::fromStdString(rig.m.ErrDetail), text);
    QCOMPARE(rig.m.ErrNum, int16_t(number));
}

void WireTest::numbersWithoutTextLeaveTheDetail() {
    test::Rig rig;
    for (int16_t number : {int16_t(0), int16_t(15), int16_t(-1)}) {
        rig.m.ErrDetail = "kept";
        rig.m.ErrNum = number;
        ErrorMessage(rig.m);
        QCOMPARE(rig.m.ErrDetail, std::string("kept"));
    }
}

void WireTest::everyAddressIndexHasItsCharacterAndClass_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("mode");
    const int codes[27] = {0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E,
                           0x3F, 0x41, 0x43, 0x45, 0x47, 0x49, 0x4B, 0x4D, 0x51, 0x55, 0x59, 0x5D, 0x5F};
    for (int i = 0; i < 27; ++i)
        QTest::addRow("index %d", i) << i << codes[i] << (i <= 14 ? "s" : "m");
}

void WireTest::everyAddressIndexHasItsCharacterAndClass() {
    QFETCH(int, index);
    QFETCH(int, code);
    QFETCH(QString, mode);
    test::Rig rig;
    rig.m.AddrChar = AddressCharacter(index);
    QCOMPARE(rig.m.AddrChar, std::string(1, static_cast<char>(code)));
    ClassifyAddress(rig.m);
    QCOMPARE(QString::fromStdString(rig.m.AddrMode), mode);
}

void WireTest::addressesOutsideTheListAreClassified() {
    QCOMPARE(AddressCharacter(-1), std::string());
    QCOMPARE(AddressCharacter(27), std::string());
    test::Rig rig;
    rig.m.AddrChar = "O";
    ClassifyAddress(rig.m);
    QCOMPARE(rig.m.AddrMode, std::string("e"));
    rig.m.AddrChar = "12";
    ClassifyAddress(rig.m);
    QCOMPARE(rig.m.AddrMode, std::string("e"));
    rig.m.AddrChar = "0";
    ClassifyAddress(rig.m);
    QCOMPARE(rig.m.AddrMode, std::string("s"));
    rig.m.AddrChar = "";
    ClassifyAddress(rig.m);
    QCOMPARE(rig.m.AddrMode, std::string("s"));  // an empty address keeps the class
}

void WireTest::framesAreExactBytes_data() {
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("hex");
    QTest::newRow("DT W4R") << "DT" << 0 << QByteArray("W4R") << QByteArray("2f315734520d");
    QTest::newRow("DT empty") << "DT" << 0 << QByteArray() << QByteArray("2f310d");
    QTest::newRow("DT pump A sends colon") << "DT" << 9 << QByteArray("?") << QByteArray("2f3a3f0d");
    QTest::newRow("DT stop") << "DT" << 0 << QByteArray("T\r") << QByteArray("2f31540d0d");
    QTest::newRow("OEM W4R") << "OEM" << 0 << QByteArray("W4R") << QByteArray("ff0231315734520330");
    QTest::newRow("OEM empty") << "OEM" << 0 << QByteArray() << QByteArray("ff0231310301");
    QTest::newRow("OEM high bytes") << "OEM" << 14 << QByteArray("\x80\xff", 2) << QByteArray("ff023f3180ff0370");
}

void WireTest::framesAreExactBytes() {
    QFETCH(QString, protocol);
    QFETCH(int, index);
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, hex);
    const std::string address = AddressCharacter(index);
    const std::string frame =
        protocol == "DT" ? DTFrame(address, command.toStdString()) : OEMFrame(address, command.toStdString());
    QCOMPARE(QByteArray::fromStdString(frame).toHex(), QByteArray::fromHex(hex).toHex());
}

void WireTest::dtRepliesDecodeByPosition_data() {
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("nine characters") << QByteArray("/0`12\x03\r\n\xff") << QByteArray("`") << QByteArray("12");
    QTest::newRow("seven characters") << QByteArray("/0@\x03\r\n\xff") << QByteArray("@") << QByteArray();
    QTest::newRow("six characters") << QByteArray("/0`\x03\r\n") << QByteArray("`") << QByteArray();
    QTest::newRow("five characters") << QByteArray("/0b\r\n") << QByteArray("b") << QByteArray();
}

void WireTest::dtRepliesDecodeByPosition() {
    QFETCH(QByteArray, raw);
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, data);
    test::Rig rig;
    rig.m.ReplyData = raw.toStdString();
    DecodeDTReply(rig.m);
    QCOMPARE(QByteArray::fromStdString(rig.m.StatusChar), status);
    QCOMPARE(QByteArray::fromStdString(rig.m.ReplyData), data);
}

void WireTest::oemRepliesPassOnlyWithTheirChecksum_data() {
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<int>("error");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QByteArray>("data");
    // status 0x60, data "12": checksum 0x60 ^ 0x31 ^ 0x32 ^ 0x31 = 0x52; head and tail unread.
    QTest::newRow("checksum right") << QByteArray("\x01\x02\x03`12\x04R\x05") << 0 << QByteArray("`") << QByteArray("12");
    QTest::newRow("checksum wrong") << QByteArray("\x01\x02\x03`12\x04S\x05") << 3 << QByteArray() << QByteArray();
    QTest::newRow("seven characters") << QByteArray("\xff\x02" "0`\x03Q\x00", 7) << 0 << QByteArray("`") << QByteArray();
    QTest::newRow("seven, wrong") << QByteArray("\xff\x02" "0`\x03P\x00", 7) << 3 << QByteArray() << QByteArray();
}

void WireTest::oemRepliesPassOnlyWithTheirChecksum() {
    QFETCH(QByteArray, raw);
    QFETCH(int, error);
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, data);
    test::Rig rig;
    rig.m.ErrNum = 9;
    rig.m.ReplyData = raw.toStdString();
    DecodeOEMReply(rig.m);
    QCOMPARE(int(rig.m.ErrNum), error);
    QCOMPARE(QString::fromStdString(rig.m.ErrDetail), error ? QString("OEM comm checksum error") : QString());
    QCOMPARE(QByteArray::fromStdString(rig.m.StatusChar), status);
    QCOMPARE(QByteArray::fromStdString(rig.m.ReplyData), data);
}

void WireTest::portSetupSetsItsPropertiesInOrder() {
    test::Rig rig;
    SetupPort(rig.m);
    const std::vector<std::string> expected = {"Handshaking=0", "InputLen=0",  "DTREnable=0",
                                               "InputMode=0",   "RTSEnable=0", "SThreshold=0"};
    QCOMPARE(rig.serial.log, expected);
}

ZR_TEST(WireTest);
#include "test_wire.moc"

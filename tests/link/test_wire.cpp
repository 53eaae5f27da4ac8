#include <QtTest>

#include "fakes/rig.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "link/address.h"
#include "link/error_messages.h"
#include "link/frames.h"
#include "link/reply_decoders.h"
#include "link/serial_setup.h"

using namespace zr;

class WireTest : public QObject {
    Q_OBJECT
private slots:
    void errorTexts_data() { test::AddTableRows(QFINDTESTDATA("error_texts.txt")); }
    void errorTexts() {
        QFETCH(QByteArrayList, row);
        test::Rig rig;
        rig.m.ErrDetail = "kept";
        rig.m.ErrNum = static_cast<int16_t>(row[0].toInt());
        ErrorMessage(rig.m);
        ErrorMessage(rig.m);  // a second call gives the same text, never appends
        QCOMPARE(QByteArray::fromStdString(rig.m.ErrDetail), row[1]);
        QCOMPARE(rig.m.ErrNum, row[0].toInt());
    }

    void addressesHaveTheirCharacterAndClass() {
        const std::string characters = "123456789:;<=>?ACEGIKMQUY]_";
        test::Rig rig;
        for (int i = 0; i < 27; ++i) {
            rig.m.AddrChar = AddressCharacter(i);
            QCOMPARE(rig.m.AddrChar, characters.substr(std::size_t(i), 1));
            ClassifyAddress(rig.m);
            QCOMPARE(rig.m.AddrMode, i <= 14 ? "s" : "m");
        }
        QCOMPARE(AddressCharacter(-1), "");
        QCOMPARE(AddressCharacter(27), "");
        for (auto [address, mode] : {std::pair{"O", "e"}, {"12", "e"}, {"0", "s"}, {"", "s"}}) {
            rig.m.AddrChar = address;
            ClassifyAddress(rig.m);  // an empty address keeps the class it had
            QCOMPARE(rig.m.AddrMode, mode);
        }
    }

    void framesAreExactBytes_data() { test::AddTableRows(QFINDTESTDATA("frames.txt")); }
    void framesAreExactBytes() {
        QFETCH(QByteArrayList, row);
        const std::string address = AddressCharacter(row[2].toInt()), command = row[3].toStdString();
        const std::string frame = row[1] == "DT" ? DTFrame(address, command) : OEMFrame(address, command);
        QCOMPARE(QByteArray::fromStdString(frame).toHex(), row[4]);
    }

    void repliesDecodeByPosition_data() { test::AddTableRows(QFINDTESTDATA("replies.txt")); }
    void repliesDecodeByPosition() {
        QFETCH(QByteArrayList, row);
        test::Rig rig;
        rig.m.ErrNum = 9;  // left by an earlier exchange
        rig.m.ReplyData = row[2].toStdString();
        row[1] == "DT" ? DecodeDTReply(rig.m) : DecodeOEMReply(rig.m);
        if (row[1] == "OEM") QCOMPARE(rig.m.ErrNum, row[3].toInt());
        QCOMPARE(rig.m.ErrDetail, row[3] == "3" ? "OEM comm checksum error" : "");
        QCOMPARE(QByteArray::fromStdString(rig.m.StatusChar), row[4]);
        QCOMPARE(QByteArray::fromStdString(rig.m.ReplyData), row[5]);
    }

    void portSetupSetsItsPropertiesInOrder() {
        test::Rig rig;
        SetupPort(rig.m);
        const std::vector<std::string> expected = {"Handshaking=0", "InputLen=0",  "DTREnable=0",
                                                   "InputMode=0",   "RTSEnable=0", "SThreshold=0"};
        QCOMPARE(rig.serial.log, expected);
    }
};

ZR_TEST(WireTest);
#include "test_wire.moc"

#include <QtTest>

#include "fakes/rig.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "link/address.h"
#include "link/error_messages.h"
#include "link/frames.h"

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

    void framesAreExactBytes_data() { test::AddTableRows(QFINDTESTDATA("frames.txt")); }
    void framesAreExactBytes() {
        QFETCH(QByteArrayList, row);
        const std::string address = AddressCharacter(row[2].toInt()), command = row[3].toStdString();
        const std::string frame = row[1] == "DT" ? DTFrame(address, command) : OEMFrame(address, command);
        QCOMPARE(QByteArray::fromStdString(frame).toHex(), row[4]);
    }
};

ZR_TEST(WireTest);
#include "test_wire.moc"

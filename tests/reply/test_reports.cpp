#include <QtTest>

#include "fakes/rig.h"
#include "fakes/test_registry.h"
#include "reply/interpret_reply.h"

class ReportsTest : public QObject {
    Q_OBJECT
private slots:
    void everyQueryNumber_data();
    void everyQueryNumber();
    void everyConfigurationLetter_data();
    void everyConfigurationLetter();
    void everyValveType_data();
    void everyValveType();
    void otherFamilies_data();
    void otherFamilies();
    void halvesRoundToEven_data();
    void halvesRoundToEven();
    void dataThatFitNoReportStayInsideTheText_data();
    void dataThatFitNoReportStayInsideTheText();
    void editReplyEnablesTheEditButton();
    void otherRepliesLeaveTheEditButtonAlone();
};

using namespace zr;

namespace {

void Columns() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("report");
}

void Row(const char* name, const QByteArray& command, const QByteArray& data, const QByteArray& report) {
    QTest::newRow(name) << command << data << report;
}

std::string ReportFor(const std::string& command, const std::string& data) {
    test::Rig rig;
    rig.m.StatusChar = "`";
    rig.m.CmdString = command;
    rig.m.ReplyData = data;
    InterpretReply(rig.m);
    return rig.m.ReplyText;
}

void CheckReport() {
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, report);
    QCOMPARE(QByteArray::fromStdString(ReportFor(command.toStdString(), data.toStdString())), report);
}

}  // namespace

void ReportsTest::everyQueryNumber_data() {
    Columns();
    Row("? alone", "?", "1200", "Absolute position = 1200 Steps");
    Row("?0", "?0", "1200", "Absolute position = 1200 Steps");
    Row("?1", "?1", "900", "Start speed = 900Steps/sec");
    Row("?2", "?2", "5000", "Top speed = 5000Steps/sec");
    Row("?3", "?3", "900", "Stop speed = 900Steps/sec");
    Row("?5 on", "?5", "1", "Input #2 is On (low)");
    Row("?5 off", "?5", "0", "Input #2 is Off (high)");
    Row("?6 only exactly 1 is on", "?6", "2", "Input #3 is Off (high)");
    Row("?7", "?7", "128", "Voltmeter input =  2.56 Volts");
    Row("?7 negative", "?7", "-75", "Voltmeter input = -1.5 Volts");
    Row("?8", "?8", "3", "Valve is at port C");
    Row("?9", "?9", "1536 2048", "NVM:  main = 1536 ,  exp =  2048 bytes free");
    Row("?10", "?10", "255", "Expansion byte #1 = 255");
    for (int bit = 1; bit <= 8; ++bit) {
        const QByteArray query = "?1" + QByteArray::number(bit);
        QTest::newRow(query.constData())
            << query << QByteArray("1")
            << "Expansion byte 1, bit " + QByteArray::number(bit) + " is true (low)";
    }
    Row("?13 0 is false", "?13", "0", "Expansion byte 1, bit 3 is false (high)");
    Row("?14 2 is false", "?14", "2", "Expansion byte 1, bit 4 is false (high)");
    Row("?12 reads the first character", "?12", "10", "Expansion byte 1, bit 2 is true (low)");
    Row("?19", "?19", "3 7", "Program numbers in NVM = 3 7");
    Row("?20", "?20", "17", "Expansion byte #2 = 17");
    for (int bit = 1; bit <= 8; ++bit) {
        const QByteArray query = "?2" + QByteArray::number(bit);
        QTest::newRow(query.constData())
            << query << QByteArray("1")
            << "Expansion byte 2, bit " + QByteArray::number(bit) + " is true (low)";
    }
    Row("?27 0 is false", "?27", "0", "Expansion byte 2, bit 7 is false (high)");
    Row("?24 2 is true", "?24", "2", "Expansion byte 2, bit 4 is true (low)");
    Row("?22 reads the first character", "?22", "01", "Expansion byte 2, bit 2 is false (high)");
    Row("?29 none", "?29", "-1", "no snapshots taken");
    Row("?29 positions", "?29", "120 340", "The snapshot positions are 120 340");
    Row("?30", "?30", "1234", "Acceleration = 12,  Deceleration = 234");
    Row("?31", "?31", "5", "illegal command argument");
    Row("?-1", "?-1", "5", "illegal command argument");
    Row("query number beyond 16 bits", "?99999", "5", "illegal command argument");
    Row("query number of 1e10", "?1e10", "5", "illegal command argument");
}

void ReportsTest::everyQueryNumber() {
    CheckReport();
}

void ReportsTest::everyConfigurationLetter_data() {
    Columns();
    Row("a program", "~a", "2", "Autostart program #2enabled");
    Row("A none", "~A", "0", "No autostart selected");
    Row("a compares the text exactly", "~a", "00", "Autostart program #00enabled");
    Row("b 3", "~b", "3", "Baud rate =  9600");
    Row("B 1", "~B", "1", "Baud rate =  38400");
    Row("b 0", "~b", "0", "Baud rate =  76800");
    Row("b 255 and above is 0", "~b", "300", "Baud rate =  76800");
    Row("h 0", "~h", "0", "SET HOME button = enabled");
    Row("H 1", "~H", "1", "SET HOME button = inhibited");
    Row("h compares the text exactly", "~h", "0.0", "SET HOME button = inhibited");
    Row("i 0", "~i", "0", "Power-up valve initialize = enabled");
    Row("I 1", "~I", "1", "Power-up valve initialize = inhibited");
    Row("i 255 and above is 0", "~i", "300", "Power-up valve initialize = enabled");
    Row("l 0", "~l", "0", "Input #3 mode = normal logic");
    Row("L 1", "~L", "1", "Input #3 mode = Stop mode");
    Row("p 1", "~p", "1", "Comm mode = DT  (Data Terminal)");
    Row("P 0", "~P", "0", "Comm mode = OEM");
    Row("s 1", "~s", "1", "Expansion I/O mode = 1-byte");
    Row("S 2", "~S", "2", "Expansion I/O mode = 2-byte");
    Row("v 11", "~v", "11", "valve type = 12-way distribution");
    Row("V 2", "~V", "2", "valve type = 3-way distribution");
    Row("y 1", "~y", "1", "Y4 initialize valve port = A");
    Row("Y 0", "~Y", "0", "Y4 initialize valve port = @");
    Row("z 3", "~z", "3", "Z4 initialize valve port = C");
    Row("q is no setting", "~q", "5", "");
    Row("two letters", "~ab", "5", "");
    Row("no letter", "~", "5", "");
}

void ReportsTest::everyConfigurationLetter() {
    CheckReport();
}

void ReportsTest::everyValveType_data() {
    Columns();
    const char* names[] = {"none",
                           "3-way non-distribution",
                           "3-way distribution",
                           "4-way non-distribution",
                           "4-way distribution",
                           "5-way non-distribution",
                           "5-way distribution",
                           "6-way non-distribution",
                           "6-way distribution",
                           "8-way non-distribution",
                           "8-way distribution",
                           "12-way distribution",
                           "unknown"};
    for (int n = 0; n <= 12; ++n) {
        const QByteArray data = QByteArray::number(n);
        QTest::newRow(data.constData()) << QByteArray("~v") << data << QByteArray("valve type = ") + names[n];
    }
    Row("300 is not below 255", "~v", "300", "valve type = none");
    Row("negative", "~v", "-1", "valve type = unknown");
}

void ReportsTest::everyValveType() {
    CheckReport();
}

void ReportsTest::otherFamilies_data() {
    Columns();
    Row("supply", "*", "123", "Device supply =  24.6 Volts");
    Row("supply rounds down", "*", "123.9", "Device supply =  24.7 Volts");
    Row("valve moves", "%", "12", "12 valve moves since power-up");
    Row("stalls", "$", "3", "3 stalls during this valve move");
    Row("flag set", "f3", "1", "flag 3 is set");
    Row("flag cleared", "f3", "0", "flag3is cleared");
    Row("flag 9 inhibited", "f9", "1", "HOME button = inhibited");
    Row("flag 9 enabled", "f9", "0", "HOME button = enabled");
    Row("flag 9.0 is 9", "f9.0", "1", "HOME button = inhibited");
    Row("flag without argument", "f", "1", "flag  is set");
    Row("variable", "z3", "17", "variable z3 = 17");
    Row("no error", "x?", "0", "no error");
    Row("last error", "x?", "7", "last error = 7");
    Row("error 255 and above is 0", "x?", "300", "no error");
    Row("x without ?", "x", "7", "");
    Row("firmware", "&", "2.1b", "Firmware Version = 2.1b");
    Row("saved", "E3", "17", "Saved as program #3.  Total NVM writes = 17");
    Row("saved without number", "E", "5", "Saved as program #.  Total NVM writes = 5");
    Row("erased", "e2", "18", "Erased program #2.  Total NVM writes = 18");
    Row("speeds saved", "!", "123", "Saved current syringe speeds as defaults.");
    Row("edit reply", "q", "IA3000R\x03", "IA3000R\x03");
    Row("no family", "Z", "abc", "abc");
    Row("high byte command", "\xe9", "5", "5");
}

void ReportsTest::otherFamilies() {
    CheckReport();
}

void ReportsTest::halvesRoundToEven_data() {
    Columns();
    Row("query 0.5 is 0", "?0.5", "7", "Absolute position = 7 Steps");
    Row("query 1.5 is 2", "?1.5", "7", "Top speed = 7Steps/sec");
    Row("query 2.5 is 2", "?2.5", "7", "Top speed = 7Steps/sec");
    Row("query -0.5 is 0", "?-0.5", "7", "Absolute position = 7 Steps");
    Row("input number keeps the fraction", "?4.5", "1", "Input #1.5 is On (low)");
    Row("port 0.5 is @", "?8", "0.5", "Valve is at port @");
    Row("port 1.5 is B", "?8", "1.5", "Valve is at port B");
    Row("port 2.5 is B", "?8", "2.5", "Valve is at port B");
    Row("port -0.5 is @", "?8", "-0.5", "Valve is at port @");
    Row("reply 0.5 is 0", "~i", "0.5", "Power-up valve initialize = enabled");
    Row("reply 1.5 is 2", "~p", "1.5", "Comm mode = OEM");
    Row("reply 2.5 is 2", "~v", "2.5", "valve type = 3-way distribution");
    Row("reply -0.5 is 0", "x?", "-0.5", "no error");
    Row("reply 0.5 clears a flag", "f3", "0.5", "flag3is cleared");
    Row("baud code 1.5 is 2", "~b", "1.5", "Baud rate =  19200");
    Row("baud code 0.5 is 0", "~b", "0.5", "Baud rate =  76800");
    Row("port code 2.5 is B", "~y", "2.5", "Y4 initialize valve port = B");
}

void ReportsTest::halvesRoundToEven() {
    CheckReport();
}

void ReportsTest::dataThatFitNoReportStayInsideTheText_data() {
    Columns();
    Row("free memory without a blank shows the data", "?9", "1536", "1536");
    Row("ramp shorter than five characters", "?30", "123", "Acceleration = 12,  Deceleration = 123");
    Row("ramp of one character", "?30", "7", "Acceleration = 7,  Deceleration = 7");
    Row("port 191 is the last character", "?8", "191", "Valve is at port \xff");
    Row("port 192 is no character", "?8", "192", "Valve is at port ?");
    Row("port 300 is no character", "?8", "300", "Valve is at port ?");
    Row("port beyond 16 bits", "?8", "1e9", "Valve is at port ?");
    Row("port -65 is no character", "?8", "-65", "Valve is at port ?");
    Row("configured port 192 is no character", "~y", "192", "Y4 initialize valve port = ?");
    Row("configured port far negative", "~z", "-99999", "Z4 initialize valve port = ?");
    Row("baud code far negative", "~b", "-99999", "Baud rate =  Infinity");
}

void ReportsTest::dataThatFitNoReportStayInsideTheText() {
    CheckReport();
}

void ReportsTest::editReplyEnablesTheEditButton() {
    test::Rig rig;
    rig.form.setEnabled(Control::cmdEdit, false);
    rig.m.StatusChar = "`";
    rig.m.CmdString = "q";
    rig.m.ReplyData = "A100R\x03";
    InterpretReply(rig.m);
    QVERIFY(rig.form.enabled(Control::cmdEdit));
}

void ReportsTest::otherRepliesLeaveTheEditButtonAlone() {
    for (const char* command : {"?", "Q", "~q", "E1", "Z"}) {
        test::Rig rig;
        rig.form.setEnabled(Control::cmdEdit, false);
        rig.m.StatusChar = "`";
        rig.m.CmdString = command;
        rig.m.ReplyData = "5";
        InterpretReply(rig.m);
        QVERIFY2(!rig.form.enabled(Control::cmdEdit), command);
    }
}

ZR_TEST(ReportsTest);
#include "test_reports.moc"

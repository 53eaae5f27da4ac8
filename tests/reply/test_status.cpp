#include <QtTest>

#include "fakes/rig.h"
#include "fakes/test_registry.h"
#include "reply/interpret_reply.h"

class StatusTest : public QObject {
    Q_OBJECT
private slots:
    void statusCharacterGivesCodeReadinessAndMeaning_data();
    void statusCharacterGivesCodeReadinessAndMeaning();
    void eachErrorLetterMeansTheSameInBothCases();
    void earlierTextsAndErrorsAreReplaced();
    void replyWithoutDataReadsNotAvailable();
};

using namespace zr;

namespace {

// Interprets a reply with the given status character and data; returns the module's texts.
struct Outcome {
    std::string code, status, reply;
};

Outcome Interpret(const std::string& statusChar, const std::string& data = "") {
    test::Rig rig;
    rig.m.CmdString = "Z";
    rig.m.StatusChar = statusChar;
    rig.m.ReplyData = data;
    InterpretReply(rig.m);
    return {rig.m.StatusCodeText, rig.m.StatusText, rig.m.ReplyText};
}

}  // namespace

void StatusTest::statusCharacterGivesCodeReadinessAndMeaning_data() {
    QTest::addColumn<QByteArray>("statusChar");
    QTest::addColumn<QByteArray>("codeText");
    QTest::addColumn<QByteArray>("statusText");
    QTest::newRow("grave accent") << QByteArray("`") << QByteArray("` = 96") << QByteArray("(Ready) OK");
    QTest::newRow("at sign") << QByteArray("@") << QByteArray("@ = 64") << QByteArray("(Busy ) OK");
    QTest::newRow("b") << QByteArray("b") << QByteArray("b = 98") << QByteArray("(Ready) Invalid Command");
    QTest::newRow("B") << QByteArray("B") << QByteArray("B = 66") << QByteArray("(Busy ) Invalid Command");
    QTest::newRow("n has no entry") << QByteArray("n") << QByteArray("n = 110")
                                    << QByteArray("(Ready) Unknown error response");
    QTest::newRow("N has no entry") << QByteArray("N") << QByteArray("N = 78")
                                    << QByteArray("(Busy ) Unknown error response");
    QTest::newRow("Z is the last busy code")
        << QByteArray("Z") << QByteArray("Z = 90") << QByteArray("(Busy ) Syringe may pass Home");
    QTest::newRow("[ is the first ready code")
        << QByteArray("[") << QByteArray("[ = 91") << QByteArray("(Ready) Unknown error response");
    QTest::newRow("h keeps its full stop")
        << QByteArray("h") << QByteArray("h = 104") << QByteArray("(Ready) Latest command ignored.");
    QTest::newRow("digit") << QByteArray("5") << QByteArray("5 = 53")
                           << QByteArray("(Busy ) Unknown error response");
    QTest::newRow("high byte counts as 255, not negative")
        << QByteArray("\xff") << QByteArray("\xff = 255") << QByteArray("(Ready) Unknown error response");
}

void StatusTest::statusCharacterGivesCodeReadinessAndMeaning() {
    QFETCH(QByteArray, statusChar);
    QFETCH(QByteArray, codeText);
    QFETCH(QByteArray, statusText);
    const Outcome got = Interpret(statusChar.toStdString());
    QCOMPARE(QByteArray::fromStdString(got.code), codeText);
    QCOMPARE(QByteArray::fromStdString(got.status), statusText);
}

void StatusTest::eachErrorLetterMeansTheSameInBothCases() {
    const char* meanings[26] = {
        " Syringe not initialized", " Invalid Command",          " Invalid operand",
        " Communications error",    " Invalid 'Run' command",    " Low supply voltage",
        " Device not initialized",  " Latest command ignored.",  " Syringe overload",
        " Valve overload",          " Syringe move not allowed", " Cannot move against limit",
        " Program memory failure",  " Unknown error response",   " Command buffer full",
        " For 3-way valve only",    " Loops nested too deep",    " Label not found",
        " Program end not found",   " Out of program space",     " Home limit not set",
        " Call stack overflow",     " Program not present",      " Valve position error",
        " Syringe position error",  " Syringe may pass Home"};
    for (int i = 0; i < 26; ++i) {
        const std::string lower(1, static_cast<char>('a' + i));
        const std::string upper(1, static_cast<char>('A' + i));
        QCOMPARE(Interpret(lower).status, std::string("(Ready)") + meanings[i]);
        QCOMPARE(Interpret(upper).status, std::string("(Busy )") + meanings[i]);
    }
}

void StatusTest::earlierTextsAndErrorsAreReplaced() {
    test::Rig rig;
    rig.m.StatusChar = "`";
    rig.m.StatusText = "old status";
    rig.m.ReplyText = "old reply";
    rig.m.ErrNum = 7;
    rig.m.ErrDetail = "old error";
    rig.m.CmdString = "?";
    rig.m.ReplyData = "5";
    InterpretReply(rig.m);
    QCOMPARE(rig.m.StatusText, std::string("(Ready) OK"));
    QCOMPARE(rig.m.ReplyText, std::string("Absolute position = 5 Steps"));
    QCOMPARE(rig.m.ErrNum, int16_t(0));
    QCOMPARE(rig.m.ErrDetail, std::string());
}

void StatusTest::replyWithoutDataReadsNotAvailable() {
    test::Rig rig;
    rig.m.StatusChar = "`";
    rig.m.CmdString = "q";
    rig.m.form.setEnabled(Control::cmdEdit, false);
    InterpretReply(rig.m);
    QCOMPARE(rig.m.ReplyText, std::string("n/a"));
    QVERIFY(!rig.form.enabled(Control::cmdEdit));
}

ZR_TEST(StatusTest);
#include "test_status.moc"

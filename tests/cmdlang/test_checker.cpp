#include <QtTest>
#include <string>

#include "checker_rows.h"
#include "cmdlang/checker.h"
#include "fakes/rig.h"
#include "fakes/test_registry.h"

class CheckerTest : public QObject {
    Q_OBJECT
private slots:
    void runCommandsAtTheEndsOfTheirRanges_data();
    void runCommandsAtTheEndsOfTheirRanges();
    void runCommandsWithMarksLabelsAndSelectors_data();
    void runCommandsWithMarksLabelsAndSelectors();
    void immediateCommands_data();
    void immediateCommands();
    void modesAndRunModeForms_data();
    void modesAndRunModeForms();
    void numbersAndStringLengths_data();
    void numbersAndStringLengths();
    void limitsComeFromTheModule();
    void outcomeDependsOnlyOnTheString();
};

using namespace zr;
using namespace zr::test;

namespace {

void Columns() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("err");
    QTest::addColumn<int>("pos");  // 0 for a string that passes: no position is reported
    QTest::addColumn<QByteArray>("form");
}

void Check() {
    QFETCH(QByteArray, text);
    QFETCH(int, err);
    QFETCH(int, pos);
    QFETCH(QByteArray, form);
    Rig rig;
    rig.m.MaxPosition = 48000;
    rig.m.MaxValvePort = 12;
    rig.m.CmdString = text.toStdString();
    ParseCommand(rig.m);
    QCOMPARE(QByteArray::fromStdString(rig.m.WorkText), form);
    QCOMPARE(int(rig.m.ErrNum), err);
    if (err != 0) QCOMPARE(int(rig.m.ScanPos), pos);
}

QByteArray Repeated(const char* piece, int times) { return QByteArray(piece).repeated(times); }

}  // namespace

void CheckerTest::runCommandsAtTheEndsOfTheirRanges_data() {
    Columns();
    for (const char* c : {"A", "a", "D", "d", "P", "p"}) {
        const QByteArray cmd(c);
        Passes(cmd + "0R", {cmd.toStdString() + "0", "R"});
        Passes(cmd + "48000R", {cmd.toStdString() + "48000", "R"});
        Fails(cmd + "48001R", 7, 6, {c});
        Fails(cmd + "R", 6, 1, {c});
    }
    for (const char* c : {"c", "V"}) {
        const QByteArray cmd(c);
        Passes(cmd + "40R", {cmd.toStdString() + "40", "R"});
        Passes(cmd + "10000R", {cmd.toStdString() + "10000", "R"});
        Fails(cmd + "39R", 7, 3, {c});
        Fails(cmd + "10001R", 7, 6, {c});
    }
    Passes("v40R", {"v40", "R"});
    Passes("v1000R", {"v1000", "R"});
    Fails("v39R", 7, 3, {"v"});
    Fails("v1001R", 7, 5, {"v"});
    Passes("f1xR", {"f1x", "R"});
    Passes("f9?R", {"f9?", "R"});
    Fails("f0xR", 7, 3, {"fx"});    // the character after the number is still taken
    Fails("f10xR", 7, 4, {"fx"});   // the "0" that took it over is that character
    Fails("fxR", 6, 2, {"fx"});
    Passes("G0R", {"G0", "R"});
    Passes("G30000R", {"G30000", "R"});
    Fails("G30001R", 7, 6, {"G"});
    Fails("GR", 6, 1, {"G"});
    Passes("h1R", {"h1", "R"});
    Passes("h3R", {"h3", "R"});
    Fails("h0R", 7, 2, {"h"});
    Fails("h4R", 7, 2, {"h"});
    Passes("j1R", {"j1", "R"});
    Passes("j99R", {"j99", "R"});
    Fails("j0R", 7, 2, {"j"});
    Fails("j100R", 7, 4, {"j"});
    Passes("K0R", {"K0", "R"});
    Passes("K1000R", {"K1000", "R"});
    Fails("K1001R", 7, 5, {"K"});
    Fails("KR", 6, 1, {"K"});
    for (const char* c : {"L", "l", "S"}) {
        const QByteArray cmd(c);
        Passes(cmd + "1R", {cmd.toStdString() + "1", "R"});
        Passes(cmd + "20R", {cmd.toStdString() + "20", "R"});
        Fails(cmd + "0R", 7, 2, {c});
        Fails(cmd + "21R", 7, 3, {c});
    }
    Passes("M1R", {"M1", "R"});
    Passes("M60000R", {"M60000", "R"});
    Fails("M0R", 7, 2, {"M"});
    Fails("M60001R", 7, 6, {"M"});
    Passes("m0R", {"m0", "R"});
    Passes("m3R", {"m3", "R"});
    Fails("m4R", 7, 2, {"m"});
    Fails("mR", 6, 1, {"m"});
    Passes("o1R", {"o1", "R"});
    Passes("o12R", {"o12", "R"});
    Fails("o0R", 7, 2, {"o"});
    Fails("o13R", 7, 3, {"o"});
    Passes("o-1R", {"o-1", "R"});
    Passes("o-12R", {"o-12", "R"});
    Fails("o-13R", 7, 4, {"o-"});
    Fails("o-R", 6, 2, {"o-"});
    Passes("t1R", {"t1", "R"});
    Passes("t4R", {"t4", "R"});
    Fails("t0R", 7, 2, {"t"});
    Fails("t5R", 7, 2, {"t"});
    for (const char* c : {"W", "Y", "Z"}) {
        const QByteArray cmd(c);
        Passes(cmd + "4R", {cmd.toStdString() + "4", "R"});
        Passes(cmd + "5R", {cmd.toStdString() + "5", "R"});
        Fails(cmd + "3R", 7, 2, {c});
        Fails(cmd + "6R", 7, 2, {c});
    }
    Passes("z1R", {"z1", "R"});
    Passes("z8R", {"z8", "R"});
    Fails("z0R", 7, 2, {"z"});
    Fails("z9R", 7, 2, {"z"});
    Passes("z3=0R", {"z3=0", "R"});
    Passes("z3=56535", {"z3=56535"});
    Fails("z3=56536", 7, 8, {"z3="});
    Fails("z3=", 6, 3, {"z3="});
    Fails("z9=5R", 7, 4, {"z=5"});  // the second number is read after the first failed
    Passes("BgHIOR", {"B", "g", "H", "I", "O", "R"});
}

void CheckerTest::runCommandsAtTheEndsOfTheirRanges() { Check(); }

void CheckerTest::runCommandsWithMarksLabelsAndSelectors_data() {
    Columns();
    // i: a comparison with a byte, or a selector; a label either way.
    Passes("i<0aR", {"i<0a", "R"});
    Passes("i>255bR", {"i>255b", "R"});
    Fails("i<256aR", 7, 6, {"i<a"});
    Fails("i<300a", 7, 6, {"i<a"});
    Fails("i<aR", 6, 3, {"i<a"});
    Overruns("i<5", 5, "i<5");
    Passes("i1aR", {"i1a", "R"});
    Passes("i3aR", {"i3a", "R"});
    Passes("i11a", {"i11a"});
    Passes("i18aR", {"i18a", "R"});
    Passes("i21aR", {"i21a", "R"});
    Passes("i28aR", {"i28a", "R"});
    Passes("i01aR", {"i01a", "R"});
    Fails("i0aR", 7, 3, {"ia"});
    Fails("i29aR", 7, 4, {"ia"});
    Fails("i4aR", 7, 3, {"ia"});
    Fails("i5a", 7, 3, {"ia"});
    Fails("i9aR", 7, 3, {"ia"});
    Fails("i10a", 7, 4, {"ia"});
    Fails("i19aR", 7, 4, {"ia"});
    Fails("i20a", 7, 4, {"ia"});
    Fails("i04aR", 7, 4, {"ia"});    // leading zeros go with the digits
    Fails("i0010aR", 7, 6, {"ia"});
    Fails("i1?R", 13, 3, {"i1"});
    // J: a label.
    Passes("JaR", {"Ja", "R"});
    Passes("JZR", {"JZ", "R"});
    Fails("J5R", 13, 2, {"J"});
    // k in a run-mode string.
    Passes("k0R", {"k0", "R"});
    Passes("k65535R", {"k65535", "R"});
    Fails("k65536R", 7, 6, {"k"});
    Passes("k+0R", {"k+0", "R"});
    Passes("k-20", {"k-20"});
    Passes("k+65535R", {"k+65535", "R"});
    Fails("k-65536R", 7, 7, {"k-"});
    Fails("k+R", 6, 2, {"k+"});
    Fails("gk+", 6, 3, {"g", "k+"});
    Passes("k<0aR", {"k<0a", "R"});
    Passes("k=65535bR", {"k=65535b", "R"});
    Fails("k>65536bR", 7, 8, {"k>b"});
    Fails("k=5?R", 13, 4, {"k=5"});
    Overruns("k<5", 5, "k<5");
    Passes("k^1R", {"k^1", "R"});
    Passes("k^3", {"k^3"});
    Passes("k^8R", {"k^8", "R"});
    Fails("k^0R", 7, 3, {"k^"});
    Fails("k^9", 7, 3, {"k^"});
    Fails("gkA", 8, 2, {"g", "k"});
    Fails("k?R", 8, 1, {"k"});
    // s: a comparison and a label, or an optional "#", a byte and an optional second byte.
    Passes("s<0aR", {"s<0a", "R"});
    Passes("s>4c", {"s>4c"});
    Passes("s>255bR", {"s>255b", "R"});
    Fails("s<256aR", 7, 6, {"s<a"});
    Passes("s0R", {"s0", "R"});
    Passes("s255R", {"s255", "R"});
    Fails("s256R", 7, 4, {"s"});
    Passes("s#0,255R", {"s#0,255", "R"});
    Passes("s#5,7", {"s#5,7"});
    Passes("s5,0R", {"s5,0", "R"});
    Fails("s5,256R", 7, 6, {"s5,"});
    Fails("s#300,5", 7, 8, {"s#,5"});
    Fails("s#R", 6, 2, {"s#"});
    Fails("s5,R", 6, 3, {"s5,"});
    // U u: an optional "#", then a selector.
    for (const char* c : {"U", "u"}) {
        const std::string cmd(c);
        Passes(QByteArray(c) + "1R", {cmd + "1", "R"});
        Passes(QByteArray(c) + "28R", {cmd + "28", "R"});
        Passes(QByteArray(c) + "#3R", {cmd + "#3", "R"});
        Passes(QByteArray(c) + "#21", {cmd + "#21"});
        Fails(QByteArray(c) + "0R", 7, 2, {c});
        Fails(QByteArray(c) + "29R", 7, 3, {c});
        Fails(QByteArray(c) + "4R", 7, 2, {c});
        Fails(QByteArray(c) + "10R", 7, 3, {c});
        Fails(QByteArray(c) + "#20R", 7, 4, {cmd + "#"});
        Fails(QByteArray(c) + "#5", 7, 4, {cmd + "#"});  // the number ends the string
        Fails(QByteArray(c) + "#R", 6, 2, {cmd + "#"});
    }
    // x: "?" (left for the next command) or a number and a label.
    Passes("x1aR", {"x1a", "R"});
    Passes("x26zR", {"x26z", "R"});
    Fails("x0aR", 7, 3, {"xa"});
    Fails("x27aR", 7, 4, {"xa"});
    Fails("x?R", 8, 2, {"x", "?"});
    Overruns("x5", 4, "x5");
    // y: a required comparison mark, a number and a label.
    Passes("y=0aR", {"y=0a", "R"});
    Passes("y<48000bR", {"y<48000b", "R"});
    Fails("y>48001cR", 7, 8, {"y>c"});
    Fails("y5R", 6, 1, {"y"});
    Fails("y+5aR", 6, 1, {"y"});
}

void CheckerTest::runCommandsWithMarksLabelsAndSelectors() { Check(); }

void CheckerTest::immediateCommands_data() {
    Columns();
    Passes("F", {"F"});
    Passes("FQTX$%&*!k", {"F", "Q", "T", "X", "$", "%", "&", "*", "!", "k"});
    for (const char* c : {"q", "r"}) {
        const std::string cmd(c);
        Passes(QByteArray(c) + "1", {cmd + "1"});
        Passes(QByteArray(c) + "99F", {cmd + "99", "F"});
        Fails(QByteArray(c) + "0", 7, 2, {c});
        Fails(QByteArray(c) + "100", 7, 4, {c});
        Fails(c, 6, 1, {c});
    }
    for (const char* c : {"E", "e"}) {
        const std::string cmd(c);
        Passes(QByteArray("F") + c + "1", {"F", cmd + "1"});
        Passes(QByteArray("F") + c + "99", {"F", cmd + "99"});
        Fails(QByteArray("F") + c + "0", 7, 3, {"F", c});
        Fails(QByteArray("F") + c + "100", 7, 5, {"F", c});
        Fails(QByteArray("F") + c + "Q", 6, 2, {"F", c});
    }
    Passes("?", {"?"});
    Passes("?1", {"?1"});
    Passes("?30", {"?30"});
    Fails("?31", 7, 3, {"?"});
    Fails("?0", 7, 2, {"?"});
    Passes("?F", {"?", "F"});
    Passes("F?", {"F", "?"});
    Passes("?5Q", {"?5", "Q"});
    Passes("~b", {"~b"});
    Passes("~A~a~B~b~H~h~I~i~L~l~P~p~S~s~V~v",
           {"~A", "~a", "~B", "~b", "~H", "~h", "~I", "~i", "~L", "~l", "~P", "~p", "~S", "~s", "~V", "~v"});
    Passes("~", {"~"});
    Passes("F~", {"F", "~"});
    Fails("~c", 7, 1, {"~"});
    Fails("~5", 7, 1, {"~"});
    Fails("F~F", 7, 2, {"F", "~"});
    // Every run-mode command is refused, and not copied.
    for (char c : std::string("AaBcDdfgGHIiJjKLlMmOoPpRSsUuVvWxYyZz:"))
        Fails(QByteArray("F") + c, 8, 2, {"F", ""});
    Fails("FA5", 8, 2, {"F", ""});
    // Characters that are no command of immediate mode, run-mode "h" and "t" among them.
    for (const char* c : {"h", "t", "b", "C", "N", "n", "5", " ", "@", "\t", "\xc4", "\xff"})
        Fails(QByteArray("F") + c, 9, 2, {"F", ""});
    Fails(QByteArray("F\0", 2), 9, 2, {"F", ""});
}

void CheckerTest::immediateCommands() { Check(); }

void CheckerTest::modesAndRunModeForms_data() {
    Columns();
    QTest::newRow("empty: no marker") << QByteArray() << 6 << 1 << QByteArray();
    Passes("kF", {"k", "F"});
    Passes("k", {"k"});
    Passes("kk", {"k", "k"});
    Fails("kA", 8, 2, {"k", ""});
    Passes("k5", {"k5"});
    Fails("k\xc4", 8, 1, {"k"});  // not a letter: run mode, where "k" needs an argument
    Fails("E5", 8, 1, {"E"});
    Fails("e5", 8, 1, {"e"});
    Fails("FR", 8, 2, {"F", ""});
    // Commands of the other mode and characters that are no command are copied in run mode.
    for (char c : std::string("EeFQqrTX?$%&*!~")) Fails(QByteArray("g") + c + "R", 8, 2, {"g", std::string(1, c)});
    for (const char* c : {"5", " ", "N", "n", "b", "C", "w", "\xc4", "#", "<"})
        Fails(QByteArray("g") + c + "R", 9, 2, {"g", std::string(1, c[0])});
    // The last character: any letter, not looked up.
    Passes("R", {"R"});
    Passes("gA", {"g", "A"});
    Passes("gJ", {"g", "J"});
    Passes("gq", {"g", "q"});
    Passes("A100N", {"A100", "N"});
    Passes("A100z", {"A100", "z"});
    Fails("A100?", 13, 5, {"A100", ""});
    Fails("g:", 13, 2, {"g", ""});
    Fails("g\xc4", 13, 2, {"g", ""});
    Fails("@5R", 9, 1, {"@"});
    Fails("5", 13, 1, {""});
    Fails(":", 13, 1, {""});
    // Indirect variable: a letter of any kind, "@" and 1 to 10.
    Passes("A@5R", {"A@5", "R"});
    Passes("A@1R", {"A@1", "R"});
    Passes("A@10R", {"A@10", "R"});
    Passes("gN@3", {"g", "N@3"});
    Passes("gJ@3R", {"g", "J@3", "R"});
    Fails("A@11R", 7, 4, {"A@"});
    Fails("A@0R", 7, 3, {"A@"});
    Fails("A@", 6, 2, {"A@"});
    Fails("A@R", 6, 2, {"A@"});
    Fails("5@3R", 13, 3, {"@3"});
    Fails("g:@1R", 13, 4, {"g", "@1"});
    // Label definition.
    Passes(":bR", {":b", "R"});
    Passes("g:a", {"g", ":a"});
    Fails(":5R", 13, 2, {":"});
    Fails("::R", 13, 2, {":"});
}

void CheckerTest::modesAndRunModeForms() { Check(); }

void CheckerTest::numbersAndStringLengths_data() {
    Columns();
    Passes("A100R", {"A100", "R"});
    Fails("A50000R", 7, 6, {"A"});
    Overruns("f5", 4, "f5");
    Passes("A100", {"A100"});
    Passes("gA100G5", {"g", "A100", "G5"});
    Passes("A00048000R", {"A00048000", "R"});
    Fails("A000048001R", 7, 10, {"A"});
    Fails("A99999999999999999999R", 7, 6, {"A"});
    Fails("c39", 7, 3, {"c"});  // below the minimum at the end: the last digit
    Passes("A" + Repeated("0", 30000) + "1R", {"A" + std::string(30000, '0') + "1", "R"});
    // The longest string the checker takes, and positions two past its end.
    const QByteArray longest = Repeated("g", 32764) + "R";
    QTest::newRow("32765 characters pass")
        << longest << 0 << 0 << Repeated("g   ", 32764) + "R   ";
    QTest::newRow("32765 characters, overrun at 32767")
        << Repeated("g", 32763) + "f5" << 6 << 32767 << Repeated("g   ", 32763) + "f5";
    QTest::newRow("32766 characters are refused")
        << longest + "R" << 14 << 32766 << QByteArray();
    QTest::newRow("64 KiB are refused") << Repeated("A", 65536) << 14 << 32766 << QByteArray();
}

void CheckerTest::numbersAndStringLengths() { Check(); }

void CheckerTest::limitsComeFromTheModule() {
    Rig rig;
    rig.m.MaxPosition = 3000;
    rig.m.MaxValvePort = 6;
    for (const auto& [text, err] : {std::pair{"A3000R", 0}, {"A3001R", 7}, {"o6R", 0}, {"o-7R", 7},
                                    {"y<48000aR", 0}}) {
        rig.m.CmdString = text;
        ParseCommand(rig.m);
        QCOMPARE(int(rig.m.ErrNum), err);
    }
}

void CheckerTest::outcomeDependsOnlyOnTheString() {
    Rig rig;
    rig.m.MaxPosition = 48000;
    rig.m.MaxValvePort = 12;
    rig.m.CmdString = "FA";
    ParseCommand(rig.m);
    rig.m.CmdString = "A100R";
    rig.m.ErrNum = 7;
    rig.m.ArgMin = 500;
    rig.m.ArgMax = 1;
    ParseCommand(rig.m);
    QCOMPARE(int(rig.m.ErrNum), 0);
    QCOMPARE(rig.m.WorkText, std::string("A100   R   "));
    QCOMPARE(rig.m.CmdMode, std::string("p"));
}

ZR_TEST(CheckerTest);
#include "test_checker.moc"

#include <QtTest>
#include <random>
#include <string>
#include <vector>

#include "cmdlang/checker.h"
#include "cmdlang/parse_display.h"
#include "fakes/rig.h"
#include "fakes/rows_file.h"
#include "fakes/test_registry.h"

class RoundTripTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sequencesOfCheckedCommandsComeBack();
    void randomStringsStayInsideAndPassingOnesComeBack();
    void longStringsStayInside();

private:
    std::vector<std::string> commands_[2];  // run mode, immediate mode
};

using namespace zr;

namespace {

struct Checked {
    int err;
    int pos;
    std::string form;
    std::string back;  // unParse of the form
};

Checked Check(test::Rig& rig, const std::string& text) {
    rig.m.MaxPosition = 48000;
    rig.m.MaxValvePort = 12;
    rig.m.CmdString = text;
    ParseCommand(rig.m);
    Checked result{rig.m.ErrNum, rig.m.ScanPos, rig.m.WorkText, {}};
    rig.m.CmdString = result.form;
    UnparseCommand(rig.m);
    result.back = rig.m.WorkText;
    return result;
}

// Every check ends on a position no further than two past the end, and a failed check's
// form ends in the error marker, or is the overrun's form.
void VerifyShape(const std::string& text, const Checked& c) {
    const int n = static_cast<int>(text.size());
    QVERIFY2(c.pos >= 1 && c.pos <= n + 2, text.c_str());
    if (c.err == 0 || text.empty()) return;
    const bool marked = c.form.size() >= 9 && c.form.compare(c.form.size() - 9, 9, "    Error") == 0;
    QVERIFY2(marked || (c.err == 6 && c.pos == n + 2), text.c_str());
}

// Command characters, digits, marks and a few bytes of no meaning; no blank, which unParse
// takes out wherever it stands.
std::string Noise(std::mt19937& rng, int maxLength) {
    static const std::string alphabet =
        "AaDdPpcVvfGhiJjKkLlSMmosUuWYZxyzBgHIORFQqrTXEe?$%&*!~0123456789<>=+-^#,@:N\t\xc4\xff";
    std::string text(std::uniform_int_distribution<std::size_t>(0, std::size_t(maxLength))(rng), '\0');
    for (char& c : text)
        if (rng() % 31 != 0) c = alphabet[rng() % alphabet.size()];
    return text;
}

}  // namespace

// The commands of every row that passes, each as the checker consumed it, by mode; last
// pieces are left out (a last character is taken as a label, not as a command).
void RoundTripTest::initTestCase() {
    test::Rig rig;
    for (const auto& row : test::ReadRows(ZR_ROWS_DIR "/checker_rows.tsv")) {
        if (row.at(1) != "0") continue;
        const std::string form = Check(rig, row[0]).form;
        auto& commands = commands_[rig.m.CmdMode == "i"];
        for (std::size_t from = 0, gap; (gap = form.find("   ", from)) != std::string::npos; from = gap + 3)
            if (gap + 3 < form.size()) commands.push_back(form.substr(from, gap - from));
    }
    QVERIFY(commands_[0].size() > 100 && commands_[1].size() > 20);
}

void RoundTripTest::sequencesOfCheckedCommandsComeBack() {
    test::Rig rig;
    std::mt19937 rng(7);
    int passed = 0;
    for (int i = 0; i < 40000; ++i) {
        const auto& commands = commands_[i % 2];
        std::string text;
        for (auto count = rng() % 12 + 1; count > 0; --count) text += commands[rng() % commands.size()];
        if (i % 2 == 0 && rng() % 2) text += "R";
        const Checked c = Check(rig, text);
        VerifyShape(text, c);
        if (c.err != 0) continue;
        ++passed;
        QCOMPARE(c.back, text);
    }
    QVERIFY2(passed > 35000, std::to_string(passed).c_str());  // nearly all are of one mode
}

void RoundTripTest::randomStringsStayInsideAndPassingOnesComeBack() {
    test::Rig rig;
    std::mt19937 rng(13);
    int passed = 0;
    for (int i = 0; i < 200000; ++i) {
        const std::string text = Noise(rng, i % 2 ? 6 : 24);
        const Checked c = Check(rig, text);
        VerifyShape(text, c);
        if (c.err != 0) continue;
        ++passed;
        QCOMPARE(c.back, text);
    }
    QVERIFY(passed > 1000);  // the noise must reach the round trip often enough to mean something
}

void RoundTripTest::longStringsStayInside() {
    test::Rig rig;
    std::mt19937 rng(17);
    for (int i = 0; i < 40; ++i) {
        std::string text;
        while (text.size() < LongestCommandString - 40)
            text += i % 2 ? commands_[0][rng() % commands_[0].size()] : Noise(rng, 64);
        for (const std::size_t end :
             {text.size(), LongestCommandString - 1, LongestCommandString, LongestCommandString + 1}) {
            std::string sized = text;
            while (sized.size() < end) sized += "0f5A@k<"[rng() % 7];
            sized.resize(end);
            const Checked c = Check(rig, sized);
            if (sized.size() > LongestCommandString) {
                QCOMPARE(c.err, int(ErrCommandTooLong));
                continue;
            }
            VerifyShape(sized, c);
            if (c.err == 0) QVERIFY(c.back == sized);
        }
    }
}

ZR_TEST(RoundTripTest);
#include "test_roundtrip.moc"

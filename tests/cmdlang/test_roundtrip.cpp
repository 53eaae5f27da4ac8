#include <QtTest>
#include <random>
#include <string>
#include <vector>

#include "cmdlang/checker.h"
#include "cmdlang/parse_display.h"
#include "fakes/rig.h"
#include "fakes/test_registry.h"

class RoundTripTest : public QObject {
    Q_OBJECT
private slots:
    void validRunModeSequencesPassAndComeBack();
    void validImmediateSequencesPassAndComeBack();
    void randomStringsStayInsideAndPassingOnesComeBack();
    void longStringsStayInside();
};

using namespace zr;
using namespace zr::test;

namespace {

// Random command strings built from the command language: every command with arguments
// drawn from its range, leading zeros now and then.
class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    char OneOf(const std::string& set) { return set[static_cast<std::size_t>(Between(0, int(set.size()) - 1))]; }
    char Letter() { return OneOf("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"); }

    std::string Number(int lo, int hi) {
        std::string zeros(Between(0, 5) == 0 ? static_cast<std::size_t>(Between(1, 3)) : 0, '0');
        return zeros + std::to_string(Between(lo, hi));
    }
    std::string Selector() {
        static const int values[] = {1, 2, 3, 11, 12, 13, 14, 15, 16, 17, 18, 21, 22, 23, 24, 25, 26, 27, 28};
        return std::to_string(values[Between(0, 18)]);
    }
    // Any byte but a digit, which would lengthen the number before it, and the blank, which
    // unParse takes out wherever it stands.
    char AnyButBlank() {
        for (;;) {
            const char c = static_cast<char>(Between(0, 255));
            if (c != ' ' && (c < '0' || c > '9')) return c;
        }
    }

    std::string RunCommand() {
        const std::string c(1, OneOf("AaDdPpcVvfGhiJjKkLlSMmosUuWYZxyzBgHIOR@:"));
        switch (c[0]) {
            case 'A': case 'a': case 'D': case 'd': case 'P': case 'p': return c + Number(0, 48000);
            case 'c': case 'V': return c + Number(40, 10000);
            case 'v': return c + Number(40, 1000);
            case 'f': return c + Number(1, 9) + AnyButBlank();
            case 'G': return c + Number(0, 30000);
            case 'h': return c + Number(1, 3);
            case 'i': return c + (Between(0, 1) ? OneOf("<>") + Number(0, 255) : Selector()) + Letter();
            case 'J': return c + Letter();
            case 'j': return c + Number(1, 99);
            case 'K': return c + Number(0, 1000);
            case 'k':
                switch (Between(0, 3)) {
                    case 0: return c + Number(0, 65535);
                    case 1: return c + OneOf("+-") + Number(0, 65535);
                    case 2: return c + OneOf("<=>") + Number(0, 65535) + Letter();
                    default: return c + "^" + Number(1, 8);
                }
            case 'L': case 'l': case 'S': return c + Number(1, 20);
            case 'M': return c + Number(1, 60000);
            case 'm': return c + Number(0, 3);
            case 'o': return c + (Between(0, 1) ? "-" : "") + Number(1, 12);
            case 's':
                if (Between(0, 1)) return c + OneOf("<>") + Number(0, 255) + Letter();
                return c + (Between(0, 1) ? "#" : "") + Number(0, 255) + (Between(0, 1) ? "," + Number(0, 255) : "");
            case 'U': case 'u': return c + (Between(0, 1) ? "#" : "") + Selector();
            case 'W': case 'Y': case 'Z': return c + Number(4, 5);
            case 'x': return c + Number(1, 26) + Letter();
            case 'y': return c + OneOf("=<>") + Number(0, 48000) + Letter();
            case 'z': return c + Number(1, 8) + (Between(0, 1) ? "=" + Number(0, 56535) : "");
            case '@': return std::string(1, Letter()) + "@" + Number(1, 10);
            case ':': return c + Letter();
            default: return c;
        }
    }

    std::string RunSequence() {
        for (;;) {
            std::string text;
            const int count = Between(1, 12);
            for (int i = 0; i < count; ++i) text += RunCommand();
            if (Between(0, 1)) text += Letter();
            // A first character of immediate mode would make it an immediate-mode string.
            if (std::string("FQqrTX?$%&*!~").find(text[0]) != std::string::npos) continue;
            if (text[0] == 'k' && (text.size() == 1 || std::isalpha(static_cast<unsigned char>(text[1])))) continue;
            return text;
        }
    }

    std::string ImmediateSequence() {
        std::string text(1, OneOf("FQTX$%&*!"));
        const int count = Between(0, 12);
        for (int i = 0; i < count; ++i) {
            const char c = OneOf("FQTX$%&*!kqrEe?~");
            text += c;
            if (std::string("qrEe").find(c) != std::string::npos) text += Number(1, 99);
            if (c == '?' && Between(0, 1)) text += Number(1, 30);
            if (c == '~') text += OneOf("AaBbHhIiLlPpSsVv");
        }
        if (Between(0, 1)) text += OneOf("?~");
        return text;
    }

    // Command characters, digits, marks and a few bytes of no meaning; no blank.
    std::string Noise(int maxLength) {
        static const std::string alphabet =
            "AaDdPpcVvfGhiJjKkLlSMmosUuWYZxyzBgHIORFQqrTXEe?$%&*!~0123456789<>=+-^#,@:N\t\xc4\xff";
        std::string text;
        const int length = Between(0, maxLength);
        for (int i = 0; i < length; ++i) text += Between(0, 30) == 0 ? '\0' : OneOf(alphabet);
        return text;
    }

private:
    std::mt19937 rng_;
};

struct Checked {
    int err;
    int pos;
    std::string form;
    std::string back;  // unParse of the form
};

Checked Check(Rig& rig, const std::string& text) {
    rig.m.CmdString = text;
    ParseCommand(rig.m);
    Checked result{rig.m.ErrNum, rig.m.ScanPos, rig.m.WorkText, {}};
    rig.m.CmdString = result.form;
    UnparseCommand(rig.m);
    result.back = rig.m.WorkText;
    return result;
}

Rig& Ready(Rig& rig) {
    rig.m.MaxPosition = 48000;
    rig.m.MaxValvePort = 12;
    return rig;
}

// Every check ends on a position no further than two past the end, and its form is either
// clean, or ends in the error marker, or is the overrun's form.
void VerifyShape(const std::string& text, const Checked& c) {
    const int n = static_cast<int>(text.size());
    QVERIFY2(c.pos >= 1 && c.pos <= n + 2, text.c_str());
    if (c.err == 0 || text.empty()) return;
    const bool marked = c.form.size() >= 9 && c.form.compare(c.form.size() - 9, 9, "    Error") == 0;
    const bool overrun = c.err == 6 && c.pos == n + 2;
    QVERIFY2(marked || overrun, text.c_str());
}

}  // namespace

void RoundTripTest::validRunModeSequencesPassAndComeBack() {
    Rig rig;
    Generator gen(7);
    for (int i = 0; i < 20000; ++i) {
        const std::string text = gen.RunSequence();
        const Checked c = Check(Ready(rig), text);
        QVERIFY2(c.err == 0, text.c_str());
        QCOMPARE(c.back, text);
    }
}

void RoundTripTest::validImmediateSequencesPassAndComeBack() {
    Rig rig;
    Generator gen(11);
    for (int i = 0; i < 20000; ++i) {
        const std::string text = gen.ImmediateSequence();
        const Checked c = Check(Ready(rig), text);
        QVERIFY2(c.err == 0, text.c_str());
        QCOMPARE(c.back, text);
    }
}

void RoundTripTest::randomStringsStayInsideAndPassingOnesComeBack() {
    Rig rig;
    Generator gen(13);
    int passed = 0;
    for (int i = 0; i < 200000; ++i) {
        const std::string text = gen.Noise(i % 2 ? 6 : 24);
        const Checked c = Check(Ready(rig), text);
        VerifyShape(text, c);
        if (c.err != 0) continue;
        ++passed;
        QCOMPARE(c.back, text);
    }
    QVERIFY(passed > 1000);  // the noise must reach the round trip often enough to mean something
}

void RoundTripTest::longStringsStayInside() {
    Rig rig;
    Generator gen(17);
    for (int i = 0; i < 40; ++i) {
        std::string text;
        while (text.size() < LongestCommandString - 40) text += i % 2 ? gen.RunCommand() : gen.Noise(64);
        for (const std::size_t end : {text.size(), LongestCommandString - 1, LongestCommandString,
                                      LongestCommandString + 1}) {
            std::string sized = text;
            while (sized.size() < end) sized += gen.OneOf("0f5A@k<");
            sized.resize(end);
            const Checked c = Check(Ready(rig), sized);
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

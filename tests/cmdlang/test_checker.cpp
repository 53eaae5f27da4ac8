#include <QtTest>
#include <random>
#include <string>
#include <vector>

#include "cmdlang/checker.h"
#include "cmdlang/parse_display.h"
#include "fakes/rig.h"
#include "fakes/rows_file.h"
#include "fakes/test_registry.h"

using namespace zr;

namespace {

struct Checked {
    int err;
    int pos;
    std::string form;
    std::string back;  // unParse of the form
};

// Checks `text` with the given limits (the ones start-up sets unless a device pick changed
// them), then unParses the form.
Checked Check(test::Rig& rig, const std::string& text, int maxPosition = 48000, int maxValvePort = 12) {
    rig.m.MaxPosition = maxPosition;
    rig.m.MaxValvePort = maxValvePort;
    rig.m.CmdString = text;
    ParseCommand(rig.m);
    Checked c{rig.m.ErrNum, rig.m.ScanPos, rig.m.WorkText, {}};
    rig.m.CmdString = c.form;
    UnparseCommand(rig.m);
    c.back = rig.m.WorkText;
    return c;
}

const std::vector<std::vector<std::string>>& Rows() {
    static const auto rows = test::ReadRows(ZR_ROWS_DIR "/checker_rows.tsv");
    return rows;
}

// Command characters, digits, marks and a few bytes of no meaning; no blank, which unParse
// takes out wherever it stands.
std::string Noise(std::mt19937& rng, std::size_t maxLength) {
    static const std::string alphabet =
        "AaDdPpcVvfGhiJjKkLlSMmosUuWYZxyzBgHIORFQqrTXEe?$%&*!~0123456789<>=+-^#,@:N\t\xc4\xff";
    std::string text(rng() % (maxLength + 1), '\0');
    for (char& c : text)
        if (rng() % 31 != 0) c = alphabet[rng() % alphabet.size()];
    return text;
}

}  // namespace

class CheckerTest : public QObject {
    Q_OBJECT
private slots:
    void checksStrings_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("err");
        QTest::addColumn<int>("pos");
        QTest::addColumn<QByteArray>("form");
        QTest::addColumn<QByteArrayList>("limits");
        for (const auto& row : Rows()) {
            const QByteArray text = QByteArray::fromStdString(row[0]);
            QTest::addRow("%s", text.isEmpty() ? "(empty)" : text.toPercentEncoding().constData())
                << text << std::stoi(row.at(1)) << std::stoi(row.at(2))
                << QByteArray::fromStdString(row.at(3))
                << QByteArray::fromStdString(row.size() > 4 ? row[4] : "48000 12").split(' ');
        }
        const QByteArray zeros(30000, '0'), longest = QByteArray(32764, 'g') + "R";
        const QByteArrayList limits = {"48000", "12"};
        QTest::newRow("30002 digits") << "A" + zeros + "1R" << 0 << 0 << "A" + zeros + "1   R   " << limits;
        QTest::newRow("longest passes")
            << longest << 0 << 0 << QByteArray("g   ").repeated(32764) + "R   " << limits;
        QTest::newRow("longest, overrun at 32767") << QByteArray(32763, 'g') + "f5" << 6 << 32767
                                                   << QByteArray("g   ").repeated(32763) + "f5" << limits;
        QTest::newRow("one longer is refused") << longest + "R" << 14 << 32766 << QByteArray() << limits;
        QTest::newRow("64 KiB are refused")
            << QByteArray(65536, 'A') << 14 << 32766 << QByteArray() << limits;
    }
    // Each row starts from what an earlier check and a composer prompt left behind; a string
    // that passes unParses back to itself.
    void checksStrings() {
        QFETCH(QByteArray, text);
        QFETCH(int, err);
        QFETCH(int, pos);
        QFETCH(QByteArray, form);
        QFETCH(QByteArrayList, limits);
        test::Rig rig;
        Check(rig, "FA");
        rig.m.ErrNum = 7;
        rig.m.ArgMin = 500;
        rig.m.ArgMax = 1;
        const Checked c = Check(rig, text.toStdString(), limits[0].toInt(), limits[1].toInt());
        QCOMPARE(QByteArray::fromStdString(c.form), form);
        QCOMPARE(c.err, err);
        if (err != 0) QCOMPARE(c.pos, pos);
        if (err == 0) QCOMPARE(QByteArray::fromStdString(c.back), text);
    }

    // Strings of the passing rows' commands (nearly all pass) and noise (some pass), a few of
    // them around the longest length: every check stops inside the string or two past its end,
    // a failure ends in the error marker or is the overrun's form, and a passing string's form
    // unParses back to the string. A last piece of a row is left out: it may be a label.
    void randomStringsStayInsideAndPassingOnesComeBack() {
        test::Rig rig;
        std::vector<std::string> commands[2];  // run mode, immediate mode
        for (const auto& row : Rows()) {
            if (row.at(1) != "0") continue;
            const std::string form = Check(rig, row[0]).form;
            for (std::size_t from = 0, gap; (gap = form.find("   ", from)) != std::string::npos;
                 from = gap + 3)
                if (gap + 3 < form.size())
                    commands[rig.m.CmdMode == "i"].push_back(form.substr(from, gap - from));
        }
        QVERIFY(commands[0].size() > 100 && commands[1].size() > 20);
        std::mt19937 rng(7);
        int passed[4] = {};
        for (int i = 0; i < 160000; ++i) {
            const int kind = i % 4;  // run-mode commands, immediate commands, short and long noise
            const auto piece = [&] {
                return kind < 2 ? commands[kind][rng() % commands[kind].size()]
                                : Noise(rng, kind == 2 ? 6 : 24);
            };
            std::string text = piece();
            for (auto more = kind < 2 ? rng() % 12 : 0; more > 0; --more) text += piece();
            if (kind == 0 && rng() % 2) text += "R";
            if (i % 4000 < 4) {
                while (text.size() <= LongestCommandString) text += piece();
                text.resize(LongestCommandString - 1 + i / 4000 % 3);
            }
            const Checked c = Check(rig, text);
            const int n = int(text.size());
            if (n > int(LongestCommandString)) {
                QCOMPARE(c.err, int(ErrCommandTooLong));
                continue;
            }
            QVERIFY2(c.pos >= 1 && c.pos <= n + 2, text.c_str());
            if (c.err == 0) {
                ++passed[kind];
                QCOMPARE(c.back, text);
            } else if (n > 0) {
                QVERIFY2(c.form.ends_with("    Error") || (c.err == 6 && c.pos == n + 2), text.c_str());
            }
        }
        QVERIFY2(
            passed[0] > 38000 && passed[1] > 36000 && passed[2] + passed[3] > 3000,
            qPrintable(QString("%1 %2 %3 %4").arg(passed[0]).arg(passed[1]).arg(passed[2]).arg(passed[3])));
    }
};

ZR_TEST(CheckerTest);
#include "test_checker.moc"

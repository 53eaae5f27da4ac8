#include <QtTest>
#include <random>
#include <string>
#include <vector>

#include "cmdlang/checker.h"
#include "cmdlang/parse_display.h"
#include "fakes/rig.h"
#include "fakes/rows_file.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "shared/error_messages.h"

using namespace zr;
using namespace std::string_literals;

namespace {

struct Checked {
    int err, pos;
    std::string form, back;  // back: unParse of the form
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
    static const auto rows = test::ReadRows(QFINDTESTDATA("checker_rows.txt").toStdString(), '|');
    return rows;
}

// Command characters, digits, marks and a few bytes of no meaning; no blank, which unParse
// takes out wherever it stands.
const std::string kNoise =
    "AaDdPpcVvfGhiJjKkLlSMmosUuWYZxyzBgHIORFQqrTXEe?$%&*!~0123456789<>=+-^#,@:N\t\xc4\xff\0"s;

}  // namespace

class CheckerTest : public QObject {
    Q_OBJECT
private slots:
    void checksStrings_data() {
        QTest::addColumn<QByteArrayList>("row");
        for (const auto& row : Rows()) {
            QByteArrayList fields;
            for (const std::string& field : row) fields << QByteArray::fromStdString(field);
            QTest::addRow("%s", row[0].empty() ? "(empty)" : fields[0].toPercentEncoding().constData())
                << fields;
        }
        const QByteArray zeros(30000, '0'), longest = QByteArray(32764, 'g') + "R", g = "g   ";
        QTest::newRow("30002 digits")
            << QByteArrayList{"A" + zeros + "1R", "0", "0", "A" + zeros + "1   R   "};
        QTest::newRow("longest passes") << QByteArrayList{longest, "0", "0", g.repeated(32764) + "R   "};
        QTest::newRow("longest, overrun at 32767")
            << QByteArrayList{QByteArray(32763, 'g') + "f5", "6", "32767", g.repeated(32763) + "f5"};
        QTest::newRow("one longer is refused") << QByteArrayList{longest + "R", "14", "32766", ""};
        QTest::newRow("64 KiB are refused") << QByteArrayList{QByteArray(65536, 'A'), "14", "32766", ""};
    }
    // Each row starts from what an earlier check and a composer prompt left behind; a string
    // that passes unParses back to itself.
    void checksStrings() {
        QFETCH(QByteArrayList, row);
        const QByteArrayList limits = row.value(4, "48000 12").split(' ');
        test::Rig rig;
        Check(rig, "FA");
        rig.m.ErrNum = 7;
        rig.m.ArgMin = 500;
        rig.m.ArgMax = 1;
        const Checked c = Check(rig, row[0].toStdString(), limits[0].toInt(), limits[1].toInt());
        QCOMPARE(QByteArray::fromStdString(c.form), row[3]);
        QCOMPARE(c.err, row[1].toInt());
        if (c.err != 0) QCOMPARE(c.pos, row[2].toInt());
        if (c.err == 0) QCOMPARE(QByteArray::fromStdString(c.back), row[0]);
    }

    // Strings of the passing rows' commands (nearly all pass) and of noise (some pass), a few
    // of them around the longest length: every check stops inside the string or two past its
    // end, a failure ends in the error marker or is the overrun's form, and a passing string's
    // form unParses back to the string. A row's last piece is left out: it may be a label.
    void randomStringsStayInsideAndPassingOnesComeBack() {
        test::Rig rig;
        std::vector<std::string> pieces[3];  // run mode, immediate mode, noise
        for (char c : kNoise) pieces[2].emplace_back(1, c);
        for (const auto& row : Rows()) {
            if (row[1] != "0") continue;
            const std::string form = Check(rig, row[0]).form;
            for (std::size_t from = 0, gap; (gap = form.find("   ", from)) != std::string::npos;
                 from = gap + 3)
                if (gap + 3 < form.size())
                    pieces[rig.m.CmdMode == "i"].push_back(form.substr(from, gap - from));
        }
        QVERIFY(pieces[0].size() > 100 && pieces[1].size() > 20);
        std::mt19937 rng(7);
        int passed[3] = {};
        for (int i = 0; i < 150000; ++i) {
            const auto piece = [&] { return pieces[i % 3][rng() % pieces[i % 3].size()]; };
            std::string text;
            for (auto count = i % 3 < 2 ? rng() % 12 + 1 : rng() % 24; count > 0; --count) text += piece();
            if (i % 3 == 0 && rng() % 2) text += "R";
            if (i % 5000 < 3) {  // one shorter than the longest, the longest, one longer
                while (text.size() <= LongestCommandString) text += piece();
                text.resize(LongestCommandString - 1 + i % 5000);
            }
            const Checked c = Check(rig, text);
            const int n = int(text.size());
            if (n > int(LongestCommandString)) {
                QCOMPARE(c.err, int(ErrCommandTooLong));
                continue;
            }
            QVERIFY2(c.pos >= 1 && c.pos <= n + 2, text.c_str());
            if (c.err == 0) {
                ++passed[i % 3];
                QCOMPARE(c.back, text);
            } else if (n > 0) {
                QVERIFY2(c.form.ends_with("    Error") || (c.err == 6 && c.pos == n + 2), text.c_str());
            }
        }
        QVERIFY(passed[0] > 49000 && passed[1] > 47000 && passed[2] > 1000);
    }

    void pressShowsTheFormAndBoxesTheError_data() { test::AddTableRows(QFINDTESTDATA("parse_clicks.txt")); }
    void pressShowsTheFormAndBoxesTheError() {
        QFETCH(QByteArrayList, row);
        const QByteArray &line = row[2], &after = row[4], &box = row[5];
        test::Rig rig;
        rig.m.MaxPosition = 48000;
        rig.m.MaxValvePort = 12;
        rig.form.setText(Control::text1, line.toStdString());
        rig.form.setText(Control::lblParse, row[3].toStdString());
        int boxesWhenEventsRan = -1;
        rig.events.onProcess = [&] { boxesWhenEventsRan = int(rig.dialogs.messages.size()); };
        (row[1] == "Parse" ? cmdParse_Click : cmdUnparse_Click)(rig.m);
        QCOMPARE(QByteArray::fromStdString(rig.form.text(Control::lblParse)), after);
        QCOMPARE(QByteArray::fromStdString(rig.m.ParseText), after);
        QCOMPARE(QByteArray::fromStdString(rig.m.CmdString), line);
        QCOMPARE(rig.events.count, 1);
        QCOMPARE(boxesWhenEventsRan, box.isEmpty() ? 0 : 1);  // pending events run after the box
        QCOMPARE(int(rig.dialogs.messages.size()), box.isEmpty() ? 0 : 1);
        if (box.isEmpty()) return;
        const auto& shown = rig.dialogs.messages.front();
        QCOMPARE(QByteArray::fromStdString(shown.text), box);
        QCOMPARE(shown.title, "Error");
        QCOMPARE(shown.icon, MessageIcon::Critical);
    }
};

ZR_TEST(CheckerTest);
#include "test_checker.moc"

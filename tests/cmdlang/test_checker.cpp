#include <QtTest>
#include <string>

#include "cmdlang/checker.h"
#include "fakes/rig.h"
#include "fakes/rows_file.h"
#include "fakes/test_registry.h"

class CheckerTest : public QObject {
    Q_OBJECT
private slots:
    void checksStrings_data();
    void checksStrings();
    void limitsComeFromTheModule();
};

using namespace zr;

namespace {

// The parsed form of a row: every piece and its three blanks, then the error marker; a
// command that looked past the end of the string (error 6, two past the end) leaves its one
// piece bare, and a string with no piece at all leaves the form empty.
QByteArray FormOf(const std::string& text, int err, int pos, const std::string& pieces) {
    QByteArray form;
    for (std::size_t from = 0, bar; (bar = pieces.find('|', from)) != std::string::npos; from = bar + 1)
        form += QByteArray::fromStdString(pieces.substr(from, bar - from)) + "   ";
    if (err == 6 && pos == int(text.size()) + 2) return form.chopped(3);
    return err == 0 || pieces.empty() ? form : form + " Error";
}

}  // namespace

void CheckerTest::checksStrings_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("err");
    QTest::addColumn<int>("pos");  // 0 for a string that passes: no position is reported
    QTest::addColumn<QByteArray>("form");
    for (const auto& row : test::ReadRows(ZR_ROWS_DIR "/checker_rows.tsv")) {
        const int err = std::stoi(row.at(1)), pos = std::stoi(row.at(2));
        QTest::addRow("%s", row[0].empty()
                                ? "(empty)"
                                : QByteArray::fromStdString(row[0]).toPercentEncoding().constData())
            << QByteArray::fromStdString(row[0]) << err << pos << FormOf(row[0], err, pos, row.at(3));
    }
    const QByteArray zeros(30000, '0'), longest = QByteArray(32764, 'g') + "R";
    QTest::newRow("30002 digits") << "A" + zeros + "1R" << 0 << 0 << "A" + zeros + "1   R   ";
    QTest::newRow("longest passes") << longest << 0 << 0 << QByteArray("g   ").repeated(32764) + "R   ";
    QTest::newRow("longest, overrun at 32767")
        << QByteArray(32763, 'g') + "f5" << 6 << 32767 << QByteArray("g   ").repeated(32763) + "f5";
    QTest::newRow("one longer is refused") << longest + "R" << 14 << 32766 << QByteArray();
    QTest::newRow("64 KiB are refused") << QByteArray(65536, 'A') << 14 << 32766 << QByteArray();
}

// Each row also starts from what an earlier check and a composer prompt left behind.
void CheckerTest::checksStrings() {
    QFETCH(QByteArray, text);
    QFETCH(int, err);
    QFETCH(int, pos);
    QFETCH(QByteArray, form);
    test::Rig rig;
    rig.m.MaxPosition = 48000;
    rig.m.MaxValvePort = 12;
    rig.m.CmdString = "FA";
    ParseCommand(rig.m);
    rig.m.ErrNum = 7;
    rig.m.ArgMin = 500;
    rig.m.ArgMax = 1;
    rig.m.CmdString = text.toStdString();
    ParseCommand(rig.m);
    QCOMPARE(QByteArray::fromStdString(rig.m.WorkText), form);
    QCOMPARE(int(rig.m.ErrNum), err);
    if (err != 0) QCOMPARE(int(rig.m.ScanPos), pos);
}

void CheckerTest::limitsComeFromTheModule() {
    test::Rig rig;
    rig.m.MaxPosition = 3000;
    rig.m.MaxValvePort = 6;
    for (const auto& [text, err] :
         {std::pair{"A3000R", 0}, {"A3001R", 7}, {"o6R", 0}, {"o-7R", 7}, {"y<48000aR", 0}}) {
        rig.m.CmdString = text;
        ParseCommand(rig.m);
        QCOMPARE(int(rig.m.ErrNum), err);
    }
}

ZR_TEST(CheckerTest);
#include "test_checker.moc"

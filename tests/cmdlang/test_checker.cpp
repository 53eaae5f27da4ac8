#include <QTest>

#include "cmdlang/checker.h"
#include "cmdlang/parse_display.h"
#include "fakes/rig.h"
#include "fakes/rows_file.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"

using namespace zr;

class CheckerTest : public QObject {
    Q_OBJECT
private slots:
    void checksStrings_data() {
        QTest::addColumn<QByteArrayList>("row");
        for (const auto& row : test::ReadRows(QFINDTESTDATA("checker_rows.txt").toStdString(), '|')) {
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
        Module& m = rig.m;
        m.CmdString = "FA";
        ParseCommand(m);
        m.ErrNum = 7;
        m.ArgMin = 500;
        m.ArgMax = 1;
        m.MaxPosition = limits[0].toInt();
        m.MaxValvePort = limits[1].toInt();
        m.CmdString = row[0].toStdString();
        ParseCommand(m);
        QCOMPARE(QByteArray::fromStdString(m.WorkText), row[3]);
        QCOMPARE(m.ErrNum, row[1].toInt());
        if (m.ErrNum != 0) {
            QCOMPARE(m.ScanPos, row[2].toInt());
        } else {
            m.CmdString = m.WorkText;
            UnparseCommand(m);
            QCOMPARE(QByteArray::fromStdString(m.WorkText), row[0]);
        }
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
        QCOMPARE(QByteArray::fromStdString(rig.dialogs.told(MessageIcon::Critical, "Error")),
                 box.isEmpty() ? "" : " box: " + box);
    }
};

ZR_TEST(CheckerTest);
#include "test_checker.moc"

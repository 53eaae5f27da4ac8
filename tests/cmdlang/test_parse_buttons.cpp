#include <QtTest>

#include "cmdlang/parse_display.h"
#include "fakes/rig.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"

using namespace zr;

class ParseButtonsTest : public QObject {
    Q_OBJECT
private slots:
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

ZR_TEST(ParseButtonsTest);
#include "test_parse_buttons.moc"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <map>

#include "cmdlang/parse_display.h"
#include "cmdlist/command_list.h"
#include "cmdlist/composer.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "link/link_summary.h"
#include "link/position_display.h"
#include "link/send_stop.h"
#include "reply/interpret_reply.h"
#include "store/program_panel.h"
#include "ui/form1.h"
#include "ui/wiring.h"
#include "window/panels.h"
#include "window/start_up.h"

using namespace zr;

namespace {

// The module's control handlers by name, written apart from the window's own binding table.
const std::map<QByteArray, Handler> kHandlers = {
    {"cmdXmit_Click", cmdXmit_Click},
    {"cmdStop_Click", cmdStop_Click},
    {"cmdParse_Click", cmdParse_Click},
    {"cmdUnparse_Click", cmdUnparse_Click},
    {"cmdProgram_Click", cmdProgram_Click},
    {"cmdSetup_Click", cmdSetup_Click},
    {"cmdExitSetup_Click", cmdExitSetup_Click},
    {"cmdListCmd_Click", cmdListCmd_Click},
    {"cmdExitCmdList_Click", cmdExitCmdList_Click},
    {"cmdAddCmd_Click", cmdAddCmd_Click},
    {"cmdInsert_Click", cmdInsert_Click},
    {"cmdEdit_Click", cmdEdit_Click},
    {"cmdPosition_Click", cmdPosition_Click},
    {"cmdSave_Click", cmdSave_Click},
    {"cmdRecall_Click", cmdRecall_Click},
    {"cmdDel_Click", cmdDel_Click},
    {"cmdExitProgram_Click", cmdExitProgram_Click},
    {"cboDevice_Click", cboDevice_Click},
    {"cboAddress_Click", cboAddress_Click},
    {"cboBaud_Click", cboBaud_Click},
    {"cboProtocol_Click", cboProtocol_Click},
    {"cboFile0_Click", cboFile0_Click},
    {"cboFile1_Click", cboFile1_Click},
    {"scrReply_Change", scrReply_Change},
    {"scrParse_Change", scrParse_Change},
    {"text1_Change", text1_Change},
};

// Does to the real widget what the operator does: a click, an item picked with the arrow key,
// the bar moved a step by its arrow, a letter typed, Enter pressed.
void Operate(QWidget* w, const QByteArray& action) {
    if (action == "click") QTest::mouseClick(w, Qt::LeftButton);
    if (action == "pick") {
        auto* combo = qobject_cast<QComboBox*>(w);
        if (combo->count() == 0) combo->addItems({"first", "second"});
        QTest::keyClick(combo, Qt::Key_Down);
    }
    if (action == "scroll") {
        qobject_cast<QScrollBar*>(w)->setMaximum(10);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() - 4, w->height() / 2));  // its right arrow
    }
    if (action == "type") QTest::keyClick(w, Qt::Key_W);
    if (action == "press Enter") QTest::keyClick(w, Qt::Key_Return);
}

}  // namespace

// Each control's event reaches its own handler, and no other, through the window's wiring.
class WiringTest : public QObject {
    Q_OBJECT
private slots:
    void everyEventReachesItsHandler_data() { test::AddTableRows(QFINDTESTDATA("handlers.txt")); }
    void everyEventReachesItsHandler() {
        QFETCH(QByteArrayList, row);
        Form1 window;
        std::vector<Handler> ran;
        WireHandlers(window, [&ran](Handler h) {
            if (h != ShowLinkSummary) ran.push_back(h);  // the settings tooltip follows link choices too
        });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget* w = window.findChild<QWidget*>(row[0]);
        QVERIFY2(w, row[0]);
        QVERIFY(kHandlers.count(row[2]));
        Operate(w, row[1]);
        QCOMPARE(ran, std::vector<Handler>{kHandlers.at(row[2])});
    }
};

ZR_TEST(WiringTest);
#include "test_wiring.moc"

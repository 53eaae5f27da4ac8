#include <QAbstractButton>
#include <QApplication>
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
#define ZR_NAMED(handler) \
    { #handler, handler }
const std::map<QByteArray, Handler> kHandlers = {
    ZR_NAMED(cmdXmit_Click),      ZR_NAMED(cmdStop_Click),        ZR_NAMED(cmdParse_Click),
    ZR_NAMED(cmdUnparse_Click),   ZR_NAMED(cmdProgram_Click),     ZR_NAMED(cmdSetup_Click),
    ZR_NAMED(cmdExitSetup_Click), ZR_NAMED(cmdListCmd_Click),     ZR_NAMED(cmdExitCmdList_Click),
    ZR_NAMED(cmdAddCmd_Click),    ZR_NAMED(cmdInsert_Click),      ZR_NAMED(cmdEdit_Click),
    ZR_NAMED(cmdPosition_Click),  ZR_NAMED(cmdSave_Click),        ZR_NAMED(cmdRecall_Click),
    ZR_NAMED(cmdDel_Click),       ZR_NAMED(cmdExitProgram_Click), ZR_NAMED(cboDevice_Click),
    ZR_NAMED(cboAddress_Click),   ZR_NAMED(cboBaud_Click),        ZR_NAMED(cboProtocol_Click),
    ZR_NAMED(cboFile0_Click),     ZR_NAMED(cboFile1_Click),       ZR_NAMED(scrReply_Change),
    ZR_NAMED(scrParse_Change),    ZR_NAMED(text1_Change)};
#undef ZR_NAMED

// Does to the real widget what the operator does: a click, an item picked with the arrow key,
// the bar moved a step by its arrow, a letter typed, a key pressed where the focus is (with a
// button disabled first where the action names it: "... with cmdXmit disabled").
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
    if (action.startsWith("press ")) {
        if (const qsizetype with = action.indexOf(" with "); with >= 0)
            w->window()->findChild<QWidget*>(action.mid(with + 6).chopped(9))->setEnabled(false);
        w->setFocus();
        const Qt::Key key = action.contains("Escape")   ? Qt::Key_Escape
                            : action.contains("keypad") ? Qt::Key_Enter
                                                        : Qt::Key_Return;
        QTest::keyClick(QApplication::focusWidget(), key,
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    }
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
        QVERIFY(row[2].isEmpty() || kHandlers.count(row[2]));
        Operate(w, row[1]);
        QCOMPARE(ran, row[2].isEmpty() ? std::vector<Handler>() : std::vector<Handler>{kHandlers.at(row[2])});
    }
};

ZR_TEST(WiringTest);
#include "test_wiring.moc"

#include "ui/wiring.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QShortcut>

#include "cmdlang/parse_display.h"
#include "cmdlist/command_list.h"
#include "cmdlist/composer.h"
#include "link/link_summary.h"
#include "link/position_display.h"
#include "link/send_stop.h"
#include "reply/interpret_reply.h"
#include "store/program_panel.h"
#include "ui/form1.h"
#include "window/panels.h"
#include "window/start_up.h"

namespace zr {

namespace {

// Runs a handler just before the watched widgets show their tooltip.
class BeforeToolTip : public QObject {
public:
    BeforeToolTip(QObject* parent, RunHandler run, Handler handler)
        : QObject(parent), run_(std::move(run)), handler_(handler) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ToolTip) run_(handler_);
        return false;
    }

private:
    RunHandler run_;
    Handler handler_;
};

struct Binding {
    Control control;
    Handler handler;
};

// Buttons: clicked. Combo boxes: an item picked by the operator. Scroll bars: a new value.
constexpr Binding kClicks[] = {
    {Control::cmdXmit, cmdXmit_Click},
    {Control::cmdStop, cmdStop_Click},
    {Control::cmdParse, cmdParse_Click},
    {Control::cmdUnparse, cmdUnparse_Click},
    {Control::cmdProgram, cmdProgram_Click},
    {Control::cmdSetup, cmdSetup_Click},
    {Control::cmdExitSetup, cmdExitSetup_Click},
    {Control::cmdListCmd, cmdListCmd_Click},
    {Control::cmdExitCmdList, cmdExitCmdList_Click},
    {Control::cmdAddCmd, cmdAddCmd_Click},
    {Control::cmdInsert, cmdInsert_Click},
    {Control::cmdEdit, cmdEdit_Click},
    {Control::cmdPosition, cmdPosition_Click},
    {Control::cmdSave, cmdSave_Click},
    {Control::cmdRecall, cmdRecall_Click},
    {Control::cmdDel, cmdDel_Click},
    {Control::cmdExitProgram, cmdExitProgram_Click},
};
constexpr Binding kPicks[] = {
    {Control::cboDevice, cboDevice_Click}, {Control::cboAddress, cboAddress_Click},
    {Control::cboBaud, cboBaud_Click},     {Control::cboProtocol, cboProtocol_Click},
    {Control::cboFile0, cboFile0_Click},   {Control::cboFile1, cboFile1_Click},
};
constexpr Binding kScrolls[] = {
    {Control::scrReply, scrReply_Change},
    {Control::scrParse, scrParse_Change},
};

}  // namespace

void WireHandlers(Form1& window, const RunHandler& run) {
    for (const Binding& b : kClicks)
        QObject::connect(qobject_cast<QAbstractButton*>(window.widget(b.control)), &QAbstractButton::clicked,
                         &window, [run, h = b.handler] { run(h); });
    for (const Binding& b : kPicks)
        QObject::connect(qobject_cast<QComboBox*>(window.widget(b.control)), &QComboBox::activated, &window,
                         [run, h = b.handler] { run(h); });
    for (const Binding& b : kScrolls)
        QObject::connect(qobject_cast<QScrollBar*>(window.widget(b.control)), &QScrollBar::valueChanged,
                         &window, [run, h = b.handler] { run(h); });
    auto* text1 = qobject_cast<QLineEdit*>(window.widget(Control::text1));
    QObject::connect(text1, &QLineEdit::textChanged, &window, [run] { run(text1_Change); });

    // Keys: Enter (either one) in the command line presses Send, Escape anywhere presses Stop;
    // a press does exactly what a click does, so nothing while the button is disabled.
    auto* send = qobject_cast<QAbstractButton*>(window.widget(Control::cmdXmit));
    auto* stop = qobject_cast<QAbstractButton*>(window.widget(Control::cmdStop));
    QObject::connect(text1, &QLineEdit::returnPressed, send, &QAbstractButton::click);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    QObject::connect(escape, &QShortcut::activated, stop, &QAbstractButton::click);

    // The settings summary follows every change of a link choice, typed text included, and is
    // brought up to date before it is shown (a port's device can come or go at any time).
    for (Control c : {Control::cboPort, Control::cboBaud, Control::cboProtocol, Control::cboAddress})
        QObject::connect(qobject_cast<QComboBox*>(window.widget(c)), &QComboBox::currentTextChanged, &window,
                         [run] { run(ShowLinkSummary); });
    auto* refresh = new BeforeToolTip(&window, run, ShowLinkSummary);
    for (Control c : {Control::cmdXmit, Control::cboAddress}) window.widget(c)->installEventFilter(refresh);
}

void WireHandlers(Form1& window, Module& m) {
    WireHandlers(window, [module = &m](Handler handler) { handler(*module); });
}

}  // namespace zr

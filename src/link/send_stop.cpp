#include "link/send_stop.h"

#include "link/link_settings.h"
#include "link/position_display.h"
#include "link/transaction.h"
#include "shared/error_messages.h"

namespace zr {

void text1_Change(Module& m) {
    m.CmdString = m.form.text(Control::text1);
    if (m.PositionShowing) m.HeldCmdString = m.CmdString;
}

namespace {

// One Send. Stop's first Send leaves out the position display, so that its second "T" follows
// at once instead of waiting for a repeating display to end.
void Send(Module& m, bool positionAfterwards) {
    m.form.setEnabled(Control::cmdEdit, false);
    ReadLinkSettings(m);
    m.SilentReply = 0;
    XmitCommand(m);
    RunPendingClicks(m);
    switch (m.form.value(Control::chkReport)) {
        case 1:
            if (positionAfterwards && !m.PortFailed) ShowPosition(m);
            break;
        case 0:
            m.form.setText(Control::lblSyringe, "");
            m.form.setText(Control::lblValve, "");
            break;
        default:
            break;
    }
}

// True when the click has been put off until the running transaction has ended.
bool Deferred(Module& m, Module::LinkClick click) {
    if (!m.InTransaction) return false;
    m.PendingClicks.push_back(click);
    return true;
}

}  // namespace

void cmdXmit_Click(Module& m) {
    if (Deferred(m, Module::LinkClick::Send)) return;
    Send(m, true);
}

void cmdStop_Click(Module& m) {
    if (Deferred(m, Module::LinkClick::Stop)) return;
    const std::string saved = m.CmdString;
    m.CmdString = "T\r";
    Send(m, false);
    Send(m, true);
    m.CmdString = saved;
}

void RunPendingClicks(Module& m) {
    if (m.InTransaction || m.RunningClicks || m.PendingClicks.empty()) return;
    m.RunningClicks = true;
    // The clicks send the operator's command, not a query of the running display; the
    // interrupted caller goes on with its own command and the reply of its own transaction.
    const TransactionState interrupted = m;
    if (m.PositionShowing) m.CmdString = m.HeldCmdString;
    while (!m.PendingClicks.empty()) {
        const Module::LinkClick click = m.PendingClicks.front();
        m.PendingClicks.erase(m.PendingClicks.begin());
        switch (click) {
            case Module::LinkClick::Send:
                cmdXmit_Click(m);
                break;
            case Module::LinkClick::Stop:
                cmdStop_Click(m);
                break;
        }
    }
    if (m.PositionShowing) m.HeldCmdString = m.CmdString;
    static_cast<TransactionState&>(m) = interrupted;
    m.RunningClicks = false;
}

void Timer2_Timer(Module& m) {
    m.Timer2.setEnabled(false);
    m.dialogs.messageBox("Timeout error.  No response from pump", MessageIcon::None, CommErrorTitle);
}

}  // namespace zr

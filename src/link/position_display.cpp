#include "link/position_display.h"

#include "link/send_stop.h"
#include "link/transaction.h"
#include "shared/numbers.h"

namespace zr {

namespace {

// One silent query of the display, and the clicks that waited for it. False when the port
// could not be opened, so that no repetition goes on showing the same failure.
bool Query(Module& m, const char* command) {
    m.SilentReply = 1;
    m.CmdString = command;
    XmitCommand(m);
    RunPendingClicks(m);
    return !m.PortFailed;
}

// One cycle: the syringe position, then the valve port.
bool Cycle(Module& m) {
    if (!Query(m, "?")) return false;
    m.form.setText(Control::lblSyringe, "syringe = " + m.ReplyData);
    if (!Query(m, "?8")) return false;
    m.form.setText(Control::lblValve, "port = " + PortLetter(m.ReplyData));
    return true;
}

}  // namespace

std::string PortLetter(const std::string& data) {
    const double code = 64 + RoundHalfEven(NumericValue(data));
    if (data.empty() || code < 0 || code > 255) return {};
    return std::string(1, static_cast<char>(static_cast<unsigned char>(code)));
}

void ShowPosition(Module& m) {
    if (m.PositionShowing) return;  // the running display goes on showing the position
    m.PositionShowing = true;
    m.HeldCmdString = m.CmdString;
    m.SilentReply = 1;
    bool shown = true;
    while (shown && m.form.value(Control::chkReport) == 1) {
        do {
            shown = Cycle(m);
        } while (shown && m.StatusChar == "@");
    }
    if (shown) Cycle(m);
    m.CmdString = m.HeldCmdString;
    m.PositionShowing = false;
}

void cmdPosition_Click(Module& m) {
    if (m.InTransaction) return;  // a display or a Send is busy with the pump
    ShowPosition(m);
}

}  // namespace zr

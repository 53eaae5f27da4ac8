#include "window/control_tips.h"

namespace zr {

void ShowControlTips(Module& m) {
    static const struct {
        Control control;
        const char* tip;
    } tips[] = {
        {Control::cmdStop, "Stop the pump: sends T twice (Esc); the command line stays as it is"},
        {Control::cmdParse, "Check the command line's syntax without sending it"},
        {Control::cmdUnparse, "Turn the checked form back into a compact command string"},
        {Control::cmdEdit, "Copy the reply's command string into the command line"},
        {Control::cmdSave, "Save the command line: press once to name it, again to save"},
        {Control::chkReport, "Auto: show the syringe position and valve port after every Send"},
        {Control::lblAuto, "Auto: show the syringe position and valve port after every Send"},
        {Control::cmdPosition, "Ask the pump for its syringe position and valve port"},
        {Control::text1, "The command string to send (Enter sends it)"},
    };
    for (const auto& t : tips) m.form.setToolTip(t.control, t.tip);
    // The folder of the program file also holds the COMn links.
    const std::string folder = m.ProgFile.substr(0, m.ProgFile.find_last_of("/\\"));
    m.form.setToolTip(Control::cmdProgram,
                      "Save, recall or delete named command strings, kept in " + m.ProgFile);
    m.form.setToolTip(Control::cboPort, "Com1..Com4: the link COM1..COM4 in " + folder +
                                            " where there is one, else this computer's serial ports in turn");
}

}  // namespace zr

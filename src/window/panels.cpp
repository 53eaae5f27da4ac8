#include "window/panels.h"

namespace zr {

void inhibitMain(Module& m) {
    for (Control c : {Control::cmdXmit, Control::cmdParse, Control::cmdUnparse, Control::cmdProgram, Control::cmdSetup})
        m.form.setEnabled(c, false);
}

void enableMain(Module& m) {
    for (Control c : {Control::cmdXmit, Control::cmdStop, Control::cmdParse, Control::cmdUnparse, Control::cmdProgram,
                      Control::cmdSetup})
        m.form.setEnabled(c, true);
}

void exitFraProgram(Module& m) {
    m.form.setEnabled(Control::cmdProgram, true);
    m.form.setEnabled(Control::cmdXmit, true);
    m.form.setVisible(Control::fraProgram, false);
    enableMain(m);
}

void cmdSetup_Click(Module& m) {
    inhibitMain(m);
    m.form.setVisible(Control::fraSetup, true);
}

void cmdExitSetup_Click(Module& m) {
    m.form.setVisible(Control::fraSetup, false);
    enableMain(m);
}

void cmdListCmd_Click(Module& m) {
    m.form.setVisible(Control::fraListCmd, true);
    inhibitMain(m);
}

void cmdExitCmdList_Click(Module& m) {
    m.form.setVisible(Control::fraListCmd, false);
    enableMain(m);
}

void cmdProgram_Click(Module& m) {
    inhibitMain(m);
    m.form.setEnabled(Control::cmdProgram, false);
    m.form.setEnabled(Control::cmdXmit, false);
    m.form.setVisible(Control::fraProgram, true);
    for (Control c : {Control::cmdDel, Control::cmdSave, Control::cmdRecall}) m.form.setEnabled(c, true);
}

void cmdExitProgram_Click(Module& m) {
    m.form.setVisible(Control::fraProgram, false);
    m.ProgMode.clear();
    m.ProgName.clear();
    enableMain(m);
}

}  // namespace zr

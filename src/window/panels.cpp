#include "window/panels.h"

#include "shared/main_buttons.h"

namespace zr {

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

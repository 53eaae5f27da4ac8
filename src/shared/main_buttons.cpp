#include "shared/main_buttons.h"

namespace zr {

void inhibitMain(Module& m) {
    for (Control c :
         {Control::cmdXmit, Control::cmdParse, Control::cmdUnparse, Control::cmdProgram, Control::cmdSetup})
        m.form.setEnabled(c, false);
}

void enableMain(Module& m) {
    for (Control c : {Control::cmdXmit, Control::cmdStop, Control::cmdParse, Control::cmdUnparse,
                      Control::cmdProgram, Control::cmdSetup})
        m.form.setEnabled(c, true);
}

void exitFraProgram(Module& m) {
    m.form.setEnabled(Control::cmdProgram, true);
    m.form.setEnabled(Control::cmdXmit, true);
    m.form.setVisible(Control::fraProgram, false);
    enableMain(m);
}

}  // namespace zr

#include "window/start_up.h"

#include "link/link_summary.h"
#include "shared/list_boxes.h"
#include "window/control_tips.h"

namespace zr {

namespace {

const char* const kFreshPrograms = "\"\"\r\nInitialize syringe;W4R\r\n";

void Note(Module& m, const char* text) {
    m.dialogs.messageBox(text, MessageIcon::Exclamation, "");
}

// Creates programs.txt with its two first lines when there is none; an existing file, one
// that another instance has just made included, is left as it is. A folder where it cannot be
// created is reported, and the program goes on.
void EnsureProgramFile(Module& m) {
    std::string error;
    if (!m.files.create(m.ProgFile, kFreshPrograms, error))
        m.dialogs.messageBox("Cannot create the program file " + m.ProgFile + ": " + error +
                                 ".  Saved command strings are not available.",
                             MessageIcon::Exclamation, "");
}

}  // namespace

void StartUpState(Module& m) {
    m.form.setVisible(Control::fraProgram, false);
    m.form.setVisible(Control::cboFile0, false);
    m.form.setVisible(Control::cboFile1, false);
    m.form.setTop(Control::cboFile1, 720);
    m.form.setVisible(Control::fraSetup, false);
    m.form.setVisible(Control::fraListCmd, false);
    m.MaxPosition = 48000;
    m.MaxValvePort = 12;
    m.Timer2.setEnabled(false);
    m.form.setListIndex(Control::cboPort, FirstPortIndex);
    m.form.setListIndex(Control::cboBaud, DefaultBaudIndex);
    m.form.setListIndex(Control::cboProtocol, DtProtocolIndex);
    m.PortNum = FirstPortIndex + 1;
    m.form.setListIndex(Control::cboAddress, FirstAddressIndex);
}

void Form_Load(Module& m) {
    StartUpState(m);
    m.ProgFile = m.files.pathOf(ProgramsFile);
    EnsureProgramFile(m);
    ShowControlTips(m);
    ShowLinkSummary(m);
}

void cboAddress_Click(Module& m) {
    if (m.form.listIndex(Control::cboAddress) >= FirstGroupAddressIndex)
        Note(m,
             "NOTE:  In multiple-device addressing modes, the device does return any messages.  If an error "
             "occurs, no further commands will be accepted by the device with the error until that device is "
             "individually addressed and reports its error message.");
}

void cboBaud_Click(Module& m) {
    if (m.form.listIndex(Control::cboBaud) != DefaultBaudIndex)
        Note(m, "NOTE:  To use a baud rate other than 9600, the OPTION jumper on the pump must be removed.");
}

void cboProtocol_Click(Module& m) {
    if (m.form.listIndex(Control::cboProtocol) == OemProtocolIndex)
        Note(m, "NOTE:  To use the OEM mode, the OPTION jumper on the pump must be removed.");
}

}  // namespace zr

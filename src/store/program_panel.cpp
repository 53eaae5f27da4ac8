#include "store/program_panel.h"

#include "shared/error_messages.h"
#include "shared/main_buttons.h"
#include "store/program_errors.h"
#include "store/program_file.h"

namespace zr {

namespace {

// Both name lists stand on this spot of the panel; cboFile1 is moved here before it shows.
constexpr int NameListTop = 1200;

void CommitSave(Module& m) {
    const std::string typed = m.form.text(Control::cboFile0);
    m.ProgMode = typed == m.ProgName ? "replace" : "append";
    m.ProgName = typed;
    m.CmdString = m.form.text(Control::text1);
    m.ErrNum = 0;
    CheckProgramEntry(m);
    if (m.ErrNum != 0) {
        ErrorMessage(m);
        ShowProgramError(m);
    } else {
        StoreProgram(m);
    }
    m.form.setVisible(Control::fraProgram, false);
    m.form.setVisible(Control::cboFile0, false);
    exitFraProgram(m);
}

void BeginPick(Module& m, const char* mode) {
    m.ProgMode = mode;
    LoadProgramNames(m);
    m.form.setTop(Control::cboFile1, NameListTop);
    m.form.setVisible(Control::cboFile1, true);
}

}  // namespace

void cmdSave_Click(Module& m) {
    m.form.setEnabled(Control::cmdRecall, false);
    m.form.setEnabled(Control::cmdDel, false);
    if (m.ProgMode == "save" && m.form.visible(Control::fraProgram)) {
        CommitSave(m);
        return;
    }
    m.ProgMode = "save";
    LoadProgramNames(m);
    m.form.setVisible(Control::cboFile0, true);
    m.ProgName = "";
}

void cmdRecall_Click(Module& m) {
    m.form.setEnabled(Control::cmdSave, false);
    m.form.setEnabled(Control::cmdDel, false);
    BeginPick(m, "retrieve");
}

void cmdDel_Click(Module& m) {
    m.form.setEnabled(Control::cmdRecall, false);
    m.form.setEnabled(Control::cmdSave, false);
    BeginPick(m, "delete");
}

void cboFile0_Click(Module& m) {
    m.ProgName = m.form.text(Control::cboFile0);
}

void cboFile1_Click(Module& m) {
    m.ProgName = m.form.text(Control::cboFile1);
    if (m.ProgMode != "delete") {
        RetrieveProgram(m);
        m.form.setText(Control::text1, m.CmdString);
    } else {
        StoreProgram(m);
    }
    m.form.setVisible(Control::cboFile1, false);
    exitFraProgram(m);
}

}  // namespace zr

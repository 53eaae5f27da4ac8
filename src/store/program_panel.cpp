#include "store/program_panel.h"

namespace zr {

void cmdSave_Click(Module&) {}
void cmdRecall_Click(Module&) {}
void cmdDel_Click(Module&) {}
void cboFile0_Click(Module&) {}
void cboFile1_Click(Module&) {}

}  // namespace zr

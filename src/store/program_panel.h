#pragma once

#include "shared/module.h"

namespace zr {

// The program panel: Save (first press lists the names in the editable cboFile0, second
// press stores text1 under the chosen name), Recall and Delete (list the names in the
// list-only cboFile1; a pick recalls or deletes at once, with no question asked).
void cmdSave_Click(Module& m);
void cmdRecall_Click(Module& m);
void cmdDel_Click(Module& m);
void cboFile0_Click(Module& m);
void cboFile1_Click(Module& m);

}  // namespace zr

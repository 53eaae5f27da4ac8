#pragma once

#include "shared/module.h"

namespace zr {

// The program panel's Save, Recall and Delete.
void cmdSave_Click(Module& m);
void cmdRecall_Click(Module& m);
void cmdDel_Click(Module& m);
void cboFile0_Click(Module& m);
void cboFile1_Click(Module& m);

}  // namespace zr

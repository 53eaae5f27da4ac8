#pragma once

#include "shared/module.h"

namespace zr {

// Showing and hiding the panels.
void cmdSetup_Click(Module& m);
void cmdExitSetup_Click(Module& m);
void cmdListCmd_Click(Module& m);
void cmdExitCmdList_Click(Module& m);
void cmdProgram_Click(Module& m);
void cmdExitProgram_Click(Module& m);

}  // namespace zr

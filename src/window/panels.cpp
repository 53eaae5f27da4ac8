#include "window/panels.h"

namespace zr {

void inhibitMain(Module&) {}
void enableMain(Module&) {}
void exitFraProgram(Module&) {}
void cmdSetup_Click(Module&) {}
void cmdExitSetup_Click(Module&) {}
void cmdListCmd_Click(Module&) {}
void cmdExitCmdList_Click(Module&) {}
void cmdProgram_Click(Module&) {}
void cmdExitProgram_Click(Module&) {}

}  // namespace zr

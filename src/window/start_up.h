#pragma once

#include "shared/module.h"

namespace zr {

// Start-up defaults and the notes on some link choices. StartUpState sets the window's and the
// module's start-up state alone; Form_Load does that and makes sure the program file exists.
void StartUpState(Module& m);
void Form_Load(Module& m);
void cboAddress_Click(Module& m);
void cboBaud_Click(Module& m);
void cboProtocol_Click(Module& m);

}  // namespace zr

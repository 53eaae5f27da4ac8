#pragma once

#include "shared/module.h"

namespace zr {

// Start-up defaults and the notes on some link choices.
void Form_Load(Module& m);
void cboAddress_Click(Module& m);
void cboBaud_Click(Module& m);
void cboProtocol_Click(Module& m);

}  // namespace zr

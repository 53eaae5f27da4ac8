#pragma once

#include "shared/module.h"

namespace zr {

// Building a command from a command-list line with prompted arguments.
void InsertCommand(Module& m);
void cmdAddCmd_Click(Module& m);
void cmdInsert_Click(Module& m);
void cmdEdit_Click(Module& m);

}  // namespace zr

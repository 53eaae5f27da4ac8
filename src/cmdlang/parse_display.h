#pragma once

#include "shared/module.h"

namespace zr {

// Parse and unParse buttons and the parse field's paging.
void UnparseCommand(Module& m);
void cmdParse_Click(Module& m);
void cmdUnparse_Click(Module& m);
void scrParse_Change(Module& m);

}  // namespace zr

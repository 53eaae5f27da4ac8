#pragma once

#include "shared/module.h"

namespace zr {

// programs.txt: names, retrieval, replace, delete, append, entry checks.
void ExtractProgramName(Module& m);
void LoadProgramNames(Module& m);
void RetrieveProgram(Module& m);
void StoreProgram(Module& m);
void CheckProgramEntry(Module& m);

}  // namespace zr

#pragma once

#include "shared/module.h"

namespace zr {

// The command checker: parsed form, error number and position.
void ParseCommand(Module& m);
void CheckRunCommand(Module& m);
void CheckImmediateCommand(Module& m);
void ReadNumber(Module& m);
void ReadLabel(Module& m);
void ReadSelectorNumber(Module& m);
void ReadVariable(Module& m);

}  // namespace zr

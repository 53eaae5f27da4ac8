#pragma once

#include "shared/module.h"

namespace zr {

// Disabling and enabling the main buttons, and leaving the program panel: the window's
// panels and the program store both call them.
void inhibitMain(Module& m);
void enableMain(Module& m);
void exitFraProgram(Module& m);

}  // namespace zr

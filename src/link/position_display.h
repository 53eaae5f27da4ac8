#pragma once

#include "shared/module.h"

namespace zr {

// Syringe position and valve port of the selected pump.
void ShowPosition(Module& m);
void cmdPosition_Click(Module& m);

}  // namespace zr

#pragma once

#include "shared/module.h"

namespace zr {

// Gives the buttons and fields whose use is not plain from their captions a short help text;
// File and the port list name the folder where the program file and the COMn links are.
void ShowControlTips(Module& m);

}  // namespace zr

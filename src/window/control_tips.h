#pragma once

#include "shared/module.h"

namespace zr {

// Gives the buttons and fields whose use is not plain from their captions a short help text.
void ShowControlTips(Module& m);

}  // namespace zr

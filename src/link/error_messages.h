#pragma once

#include "shared/module.h"

namespace zr {

// Application error numbers and their texts.
void ErrorMessage(Module& m);

}  // namespace zr

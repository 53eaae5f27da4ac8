#pragma once

#include "shared/module.h"

namespace zr {

// Address characters of the address list, and their class.
void ClassifyAddress(Module& m);

}  // namespace zr

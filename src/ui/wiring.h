#pragma once

#include "shared/module.h"

namespace zr {

class Form1;

// Connects every control's signal to its handler in the module.
void WireHandlers(Form1& window, Module& m);

}  // namespace zr

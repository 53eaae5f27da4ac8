#pragma once

#include "shared/module.h"

namespace zr {

// The serial port's fixed properties.
void SetupPort(Module& m);
void SetupPort(SerialPort& port);

}  // namespace zr

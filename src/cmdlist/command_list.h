#pragma once

#include "shared/module.h"

namespace zr {

// Device types, their command-list files, and loading a list.
void cboDevice_Click(Module& m);

}  // namespace zr

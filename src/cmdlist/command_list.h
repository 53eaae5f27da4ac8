#pragma once

#include <string>
#include <vector>

#include "shared/list_boxes.h"
#include "shared/module.h"

namespace zr {

// Reads the lines of the file CmdListFile names. When there is no such file yet (no device
// type chosen) or it cannot be read, tells the operator in a message box and returns false.
bool ReadCommandListFile(Module& m, std::vector<std::string>& lines);

// Loads the command list of the device type picked in cboDevice into lstCmd.
void cboDevice_Click(Module& m);

}  // namespace zr

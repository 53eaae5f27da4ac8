#pragma once

#include <string>

#include "shared/module.h"

namespace zr {

// The valve port letter from the data of a "?8" reply: the character 64 + the data read as a
// number, rounded half to even; a value that forms no character leaves the letter out.
std::string PortLetter(const std::string& data);

// Syringe position and valve port of the selected pump.
void ShowPosition(Module& m);
void cmdPosition_Click(Module& m);

}  // namespace zr

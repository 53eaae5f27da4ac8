#pragma once

#include <string>

#include "shared/module.h"

namespace zr {

// The address character for an index of the address list (0..26); "" for any other index.
std::string AddressCharacter(int index);

// Sets AddrMode from AddrChar: "s" one pump, "m" several pumps (no reply), "e" not an
// address. An empty AddrChar keeps the previous class.
void ClassifyAddress(Module& m);

}  // namespace zr

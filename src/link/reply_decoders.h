#pragma once

#include "shared/module.h"

namespace zr {

// Status character and data of a DT or OEM reply, by position.
void DecodeDTReply(Module& m);
void DecodeOEMReply(Module& m);

}  // namespace zr

#pragma once

#include "shared/module.h"

namespace zr {

// Status and report texts of a decoded reply, and the reply field's paging.
void InterpretReply(Module& m);
void scrReply_Change(Module& m);

}  // namespace zr

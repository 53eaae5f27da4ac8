#pragma once

#include "shared/module.h"

namespace zr {

// One command transaction: send the frame, wait, read, decode, show.
void XmitCommand(Module& m);
void ReadReply(Module& m);

}  // namespace zr

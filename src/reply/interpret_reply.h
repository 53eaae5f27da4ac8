#pragma once

#include "shared/module.h"

namespace zr {

// Status and report texts of a decoded reply, and the reply field's paging.
void InterpretReply(Module& m);
void scrReply_Change(Module& m);
// Sets the reply bar's range to the length of ReplyText, raising no change handler.
void SetReplyScrollMaximum(Module& m);

}  // namespace zr

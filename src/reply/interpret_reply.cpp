#include "reply/interpret_reply.h"

namespace zr {

void InterpretReply(Module&) {}
void scrReply_Change(Module&) {}

}  // namespace zr

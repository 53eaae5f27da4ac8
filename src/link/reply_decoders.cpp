#include "link/reply_decoders.h"

namespace zr {

void DecodeDTReply(Module&) {}
void DecodeOEMReply(Module&) {}

}  // namespace zr

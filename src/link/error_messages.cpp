#include "link/error_messages.h"

namespace zr {

void ErrorMessage(Module&) {}

}  // namespace zr

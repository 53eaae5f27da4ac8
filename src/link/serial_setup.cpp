#include "link/serial_setup.h"

namespace zr {

void SetupPort(Module&) {}

}  // namespace zr

#include "link/address.h"

namespace zr {

void ClassifyAddress(Module&) {}

}  // namespace zr

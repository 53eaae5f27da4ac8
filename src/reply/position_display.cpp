#include "reply/position_display.h"

namespace zr {

void ShowPosition(Module&) {}
void cmdPosition_Click(Module&) {}

}  // namespace zr

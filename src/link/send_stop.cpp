#include "link/send_stop.h"

namespace zr {

void text1_Change(Module&) {}
void cmdXmit_Click(Module&) {}
void cmdStop_Click(Module&) {}
void Timer2_Timer(Module&) {}

}  // namespace zr

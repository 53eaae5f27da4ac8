#pragma once

#include "shared/module.h"

namespace zr {

// The command line, Send, Stop and the reply time-out.
void text1_Change(Module& m);
void cmdXmit_Click(Module& m);
void cmdStop_Click(Module& m);
void Timer2_Timer(Module& m);

}  // namespace zr

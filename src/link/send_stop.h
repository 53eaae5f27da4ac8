#pragma once

#include "shared/module.h"

namespace zr {

// The command line, Send, Stop and the reply time-out.
void text1_Change(Module& m);
void cmdXmit_Click(Module& m);
void cmdStop_Click(Module& m);
void Timer2_Timer(Module& m);

// Runs, in order, the clicks that arrived while a transaction was running, leaving the reply
// that the interrupted caller is waiting for as it was. Every handler that calls XmitCommand
// (Send, Stop, the position display) calls it after each transaction.
void RunPendingClicks(Module& m);

}  // namespace zr

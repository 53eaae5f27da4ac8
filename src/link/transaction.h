#pragma once

#include "shared/module.h"

namespace zr {

// How long a transaction waits after sending before it looks for the reply.
inline constexpr double ReplyWait = 0.1;
// What a busy computer may take to pass a byte from the line to the program, for a wait timed
// to the byte's arrival.
inline constexpr double ByteDeliverySeconds = 0.02;

// One command transaction: sends CmdString to the selected pump, waits, reads, decodes,
// interprets and shows the reply (nothing is shown while SilentReply is set).
void XmitCommand(Module& m);
// Reads the reply that XmitCommand waits for into ReplyData; called only by XmitCommand.
void ReadReply(Module& m);

// Waits `seconds` without letting window events run: the clock is read, then the wait
// sleeps until at least that much time has passed.
void WaitWithoutEvents(Module& m, double seconds);

}  // namespace zr

#pragma once

#include "shared/module.h"

namespace zr {

// The command line, Send, Stop and the reply time-out.
void text1_Change(Module& m);
void cmdXmit_Click(Module& m);
void cmdStop_Click(Module& m);
void Timer2_Timer(Module& m);

// Takes address, protocol, baud rate and port number from the combo boxes, closing the port
// when the port number changed and preparing it when it is closed.
void ReadLinkSettings(Module& m);
// The baud rate that the baud box gives: its list entry, or BaudRate when none is selected.
std::string NextBaudRate(const Module& m);
// The protocol that the protocol box gives: "DT" for its DT item, "OEM" for anything else
// (nothing chosen included).
std::string NextProtocol(const Module& m);
// Runs, in order, the clicks that arrived while a transaction was running, leaving the reply
// that the interrupted caller is waiting for as it was.
void RunPendingClicks(Module& m);

}  // namespace zr

#pragma once

#include <string>

#include "shared/module.h"

namespace zr {

// Takes address, protocol, baud rate and port number from the combo boxes, closing the port
// when the port number changed and preparing it when it is closed.
void ReadLinkSettings(Module& m);
// The baud rate that the baud box gives: its list entry, or BaudRate when none is selected.
std::string NextBaudRate(const Module& m);
// The protocol that the protocol box gives: "DT" for its DT item, "OEM" for anything else
// (nothing chosen included).
std::string NextProtocol(const Module& m);

}  // namespace zr

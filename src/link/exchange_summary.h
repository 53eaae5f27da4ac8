#pragma once

#include <string>

#include "shared/module.h"

namespace zr {

// The last exchange for the operator, one line each: the frame sent in hex and its parts
// named (a run of more than 32 bytes shows its first 32 and its length), the reply as read in hex and its
// parts named (an OEM reply with its checksum received and expected), and the milliseconds from sending to
// the first reply byte and to the reply read.
std::string ExchangeSummary(const Module::ExchangeRecord& exchange);

// Gives every reply field the last exchange's summary as its tooltip (or, when the port could
// not be opened, says that nothing was sent).
void ShowExchangeSummary(Module& m);

}  // namespace zr

#pragma once

#include <string>

#include "shared/module.h"

namespace zr {

// The settings the next Send will use, as the combo boxes and the port stand now:
// "Com1 = /dev/ttyUSB0 · 9600,n,8,1 · DT · pump 1". A port left open keeps the line settings
// it was opened with, and says so; text typed into the port box names no port.
std::string LinkSummary(const Module& m);

// Gives Send and the address box the settings summary as their tooltip.
void ShowLinkSummary(Module& m);

}  // namespace zr

#pragma once

#include "shared/module.h"

namespace zr {

// The scroll bar's position is 16 bits wide: a parsed form longer than this is paged in
// proportion, so that every part of it can be reached.
inline constexpr int ParseScrollMax = 32767;

// Turns the text in CmdString back into a compact command string in WorkText: every blank
// and every "Error" is taken out.
void UnparseCommand(Module& m);

// Parse and unParse buttons and the paging of the parse field. unParse leaves CmdString as
// it found it, so that the next Send transmits the command line, not the converted caption.
void cmdParse_Click(Module& m);
void cmdUnparse_Click(Module& m);
void scrParse_Change(Module& m);

}  // namespace zr

#pragma once

#include <cstddef>
#include <cstdint>

#include "shared/module.h"

namespace zr {

// The longest string the checker takes: every position it can reach, up to two past the
// end, must fit the 16-bit ScanPos. A longer string is refused with ErrCommandTooLong at the
// first character past this length.
inline constexpr std::size_t LongestCommandString = 32765;

// The command checker. ParseCommand checks CmdString and leaves the parsed form in WorkText,
// the error number in ErrNum (0 when the string passed) and the position reached in ScanPos.
// The others check one piece at ScanPos and are the steps ParseCommand is made of.
void ParseCommand(Module& m);
void CheckRunCommand(Module& m);
void CheckImmediateCommand(Module& m);
void ReadNumber(Module& m);
void ReadLabel(Module& m);
void ReadSelectorNumber(Module& m);
void ReadVariable(Module& m);

}  // namespace zr

#pragma once

#include <cstdint>
#include <string>

#include "shared/module.h"

namespace zr {

// The store's error box: the text of ErrDetail, critical icon, no title of its own.
void ShowProgramError(Module& m);
// Sets ErrNum to `number`, fetches its text with ErrorMessage and shows the error box.
void RaiseProgramError(Module& m, int16_t number);
// Tell the operator that programs.txt could not be read, or could not be written and was
// left as it was; `reason` says why (e.g. "permission denied").
void ReportUnreadableProgramFile(Module& m, const std::string& reason);
void ReportUnwritableProgramFile(Module& m, const std::string& reason);

}  // namespace zr

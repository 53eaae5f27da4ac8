#pragma once

#include "shared/module.h"

namespace zr {

// Error numbers raised by the command checker beyond the link's and the store's.
constexpr int16_t kErrLabelExpected = 13;
constexpr int16_t kErrCommandTooLong = 14;

// Puts the text of ErrNum into ErrDetail; a number without a text leaves ErrDetail as it is.
void ErrorMessage(Module& m);

}  // namespace zr

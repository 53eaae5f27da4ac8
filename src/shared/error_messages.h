#pragma once

#include "shared/module.h"

namespace zr {

// Every number the system puts into ErrNum (0 is no error). ErrorMessage gives the texts of
// 1 to 14; 15 carries a text its raiser writes into ErrDetail itself.
inline constexpr int16_t ErrOemCommFailed = 1;          // raised by no operation
inline constexpr int16_t ErrTooFewBytes = 2;            // the reply reader
inline constexpr int16_t ErrOemChecksum = 3;            // the OEM reply decoder
inline constexpr int16_t ErrProgramFileMissing = 4;     // the program store
inline constexpr int16_t ErrProgramNotFound = 5;        // the program store
inline constexpr int16_t ErrInvalidCommand = 6;         // the checker
inline constexpr int16_t ErrInvalidArgument = 7;        // the checker
inline constexpr int16_t ErrMixedModes = 8;             // the checker
inline constexpr int16_t ErrNoSuchCommand = 9;          // the checker
inline constexpr int16_t ErrIllegalProgramName = 10;    // the program store's save check
inline constexpr int16_t ErrIllegalCommandString = 11;  // the program store's save check
inline constexpr int16_t ErrNothingToCopy = 12;         // the Edit button
inline constexpr int16_t ErrLabelExpected = 13;         // the checker
inline constexpr int16_t ErrCommandTooLong = 14;        // the checker
// programs.txt is there but cannot be read or written: the store names the file and the
// reason in ErrDetail.
inline constexpr int16_t ErrProgramFileUnusable = 15;

// The title of the boxes that tell of a failure on the link: a port that cannot be opened, a
// pump that does not answer.
inline constexpr const char* CommErrorTitle = "Comm Error";

// Puts the text of ErrNum into ErrDetail; a number without a text leaves ErrDetail as it is.
void ErrorMessage(Module& m);

}  // namespace zr

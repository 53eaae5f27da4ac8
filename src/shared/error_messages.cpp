#include "shared/error_messages.h"

namespace zr {

namespace {

struct ErrorText {
    int16_t number;
    const char* text;  // exactly as the operator reads it
};

constexpr ErrorText kErrorTexts[] = {
    {ErrOemCommFailed, "OEM communications failed"},
    {ErrTooFewBytes, "Comm received too few bytes"},
    {ErrOemChecksum, "OEM comm checksum error"},
    {ErrProgramFileMissing, "Program file not found"},
    {ErrProgramNotFound, "Program command string is empty."},
    {ErrInvalidCommand, "invalid command"},
    {ErrInvalidArgument, "invalid argument"},
    {ErrMixedModes, "Cannot mix 'immediate' mode with 'run' mode commands"},
    {ErrNoSuchCommand, "No such command"},
    {ErrIllegalProgramName, "Cannot save: file name is illegal or missing"},
    {ErrIllegalCommandString, "Cannot save: command string is illegal or empty"},
    {ErrNothingToCopy, "Cannot copy empty command string"},
    {ErrLabelExpected, "Label letter (A to Z or a to z) expected"},
    {ErrCommandTooLong, "Command string too long"},
};

}  // namespace

void ErrorMessage(Module& m) {
    for (const ErrorText& entry : kErrorTexts)
        if (entry.number == m.ErrNum) m.ErrDetail = entry.text;
}

}  // namespace zr

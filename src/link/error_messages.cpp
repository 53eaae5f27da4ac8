#include "link/error_messages.h"

#include <array>

namespace zr {

namespace {

// Texts of the application's error numbers 1..14, stored exactly as the operator reads them.
constexpr std::array<const char*, 14> kErrorTexts = {
    "OEM communications failed",
    "Comm received too few bytes",
    "OEM comm checksum error",
    "Program file not found",
    "Program command string is empty.",
    "invalid command",
    "invalid argument",
    "Cannot mix 'immediate' mode with 'run' mode commands",
    "No such command",
    "Cannot save: file name is illegal or missing",
    "Cannot save: command string is illegal or empty",
    "Cannot copy empty command string",
    "Label letter (A to Z or a to z) expected",
    "Command string too long",
};

}  // namespace

void ErrorMessage(Module& m) {
    if (m.ErrNum >= 1 && m.ErrNum <= static_cast<int>(kErrorTexts.size()))
        m.ErrDetail = kErrorTexts[static_cast<std::size_t>(m.ErrNum - 1)];
}

}  // namespace zr

#pragma once

namespace zr::cli {

// The program's exit statuses. With several commands the first failure's status counts.
enum ExitStatus : int {
    kDone = 0,
    kSyntaxError = 1,
    kPortFailed = 2,
    kNoReply = 3,
    kChecksumError = 4,
    kUsageError = 64,
    kInternalFault = 70
};

// The table of exit statuses, as --help prints it.
inline constexpr const char* ExitStatusHelp =
    "Exit status (with several commands the first failure's status counts):\n"
    "  0   done\n"
    "  1   a syntax error\n"
    "  2   the port could not be opened\n"
    "  3   a command got no reply\n"
    "  4   an OEM checksum error\n"
    "  64  a usage error\n"
    "  70  an internal fault (please report it)\n";

}  // namespace zr::cli

#pragma once

namespace zr::cli {

// The program's exit statuses. With several commands the first failure's status counts: a
// later failure does not replace it, nor a later success.
enum ExitStatus : int {
    kDone = 0,
    kSyntaxError = 1,
    kPortFailed = 2,
    kNoReply = 3,
    kChecksumError = 4,
    kPumpError = 5,
    kTooShort = 6,
    kStillBusy = 7,
    kUsageError = 64,
    kNoInput = 66,
    kInternalFault = 70,
    kOutputFailed = 74,
    kInterrupted = 130
};

// The table of exit statuses, as --help prints it.
inline constexpr const char* ExitStatusHelp =
    "Exit status (with several commands the first failure's status counts):\n"
    "  0    every command was answered without error (a group gives no answer)\n"
    "  1    a syntax error (run: in a step of the sequence; nothing was sent)\n"
    "  2    the port could not be opened\n"
    "  3    a command got no reply (scan: no pump answered)\n"
    "  4    an OEM reply failed its checksum\n"
    "  5    the pump answered with an error (an error letter, or a status none sends)\n"
    "  6    an OEM reply too short to decode (5 or 6 bytes)\n"
    "  7    a pump was still busy when --step-timeout ran out\n"
    "  64   a usage error\n"
    "  66   the sequence file or the stored program cannot be read\n"
    "  70   an internal fault (please report it)\n"
    "  74   stdout or stderr could not be written (a full disk, a closed pipe): what was under\n"
    "       way was finished and nothing more begun; this status replaces any other\n"
    "  130  interrupted (Ctrl-C, SIGTERM): the pumps addressed were sent Stop (a second\n"
    "       interrupt ends at once, without waiting for their acknowledgements)\n";

}  // namespace zr::cli

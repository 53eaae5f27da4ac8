// Command strings through the checker: each check stops inside the string or at most two past
// its end, a failure's parsed form ends in the error marker (or is the overrun's, which has
// none), and the parsed form of every accepted string goes back through UnparseCommand, which
// must give the string that was checked.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cmdlang/checker.h"
#include "cmdlang/parse_display.h"
#include "fakes/rig.h"
#include "require.h"
#include "shared/error_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    zr::test::Rig rig;
    zr::Module& m = rig.m;
    // The limits the window sets at start-up.
    m.MaxPosition = 48000;
    m.MaxValvePort = 12;
    const std::string command(reinterpret_cast<const char*>(data), size);
    m.CmdString = command;
    zr::ParseCommand(m);
    if (size > zr::LongestCommandString) {
        Require(m.ErrNum == zr::ErrCommandTooLong, "a string longer than the longest is refused as too long");
        return 0;
    }
    const int length = static_cast<int>(size);
    Require(m.ScanPos >= 1 && m.ScanPos <= length + 2,
            "the check stops inside the string or two past its end");
    if (m.ErrNum != 0) {
        Require(size == 0 || m.WorkText.ends_with("    Error") ||
                    (m.ErrNum == zr::ErrInvalidCommand && m.ScanPos == length + 2),
                "a failure's form ends in the error marker, or is the overrun's");
        return 0;
    }
    Require(m.CmdString == command, "the checker leaves CmdString as it was");
    m.CmdString = m.WorkText;
    zr::UnparseCommand(m);
    Require(m.WorkText == command, "unParse of an accepted string's parsed form gives the string back");
    return 0;
}

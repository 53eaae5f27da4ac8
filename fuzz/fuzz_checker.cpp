// Command strings through the checker, and the parsed form of every accepted one back through
// UnparseCommand, which must give the string that was checked.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cmdlang/checker.h"
#include "cmdlang/parse_display.h"
#include "fakes/rig.h"
#include "require.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    zr::test::Rig rig;
    zr::Module& m = rig.m;
    // The limits the window sets at start-up.
    m.MaxPosition = 48000;
    m.MaxValvePort = 12;
    const std::string command(reinterpret_cast<const char*>(data), size);
    m.CmdString = command;
    zr::ParseCommand(m);
    Require(m.ScanPos >= 1, "the position reached is inside the string or past its end");
    if (m.ErrNum != 0) return 0;
    Require(m.CmdString == command, "the checker leaves CmdString as it was");
    m.CmdString = m.WorkText;
    zr::UnparseCommand(m);
    Require(m.WorkText == command, "unParse of an accepted string's parsed form gives the string back");
    return 0;
}

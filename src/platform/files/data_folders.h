#pragma once

#include <string>

namespace zr {

// Where the program finds what it reads and keeps what it writes.
struct DataFolders {
    std::string program;  // the folder that holds the running program
    // programs.txt and the COMn links: the program's folder when the program may write there
    // (a portable folder, the build folder), else the user's own, $XDG_DATA_HOME/zadu-rovu
    // (~/.local/share/zadu-rovu by default).
    std::string data;
    // The command-list files: beside the program when they are there, else the installed
    // ones in <program>/../share/zadu-rovu.
    std::string lists;
    // A programs.txt in the program's folder that the user's folder takes over: it is read
    // until the user's own file exists. "" when there is none, or when the data stay beside it.
    std::string earlierPrograms;
};

// The folders for a program that lives in `programDir`. An installed program (its lists in
// the share folder, none beside it) always keeps its data in the user's folder, so that
// even one run by root leaves the program's folder as the package made it.
DataFolders FindDataFolders(const std::string& programDir);

// The same, with the user's folder made when it is the data folder and missing. A folder
// that cannot be made is told by the first file that cannot be written there.
DataFolders PrepareDataFolders(const std::string& programDir);

}  // namespace zr

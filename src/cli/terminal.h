#pragma once

namespace zr::cli {

// True when the program's stderr is a terminal, where a person watches.
bool StderrIsTerminal();

}  // namespace zr::cli

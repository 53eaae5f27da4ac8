#pragma once

namespace zr::cli {

// True when the program's stderr is a terminal, where a person watches.
bool StderrIsTerminal();

// A write to a pipe whose reader has gone fails with EPIPE instead of ending the program with
// SIGPIPE, whatever the port (gensio ignores SIGPIPE once a network port is opened), so that
// the output's checks see it.
void WritesToClosedPipesFail();

}  // namespace zr::cli

#include <unistd.h>

#include <csignal>

#include "cli/terminal.h"

namespace zr::cli {

bool StderrIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

void WritesToClosedPipesFail() {
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace zr::cli

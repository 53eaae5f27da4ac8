#include <unistd.h>

#include "cli/terminal.h"

namespace zr::cli {

bool StderrIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

}  // namespace zr::cli

#include <io.h>

#include <cstdio>

#include "cli/terminal.h"

namespace zr::cli {

bool StderrIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

}  // namespace zr::cli

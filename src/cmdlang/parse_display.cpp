#include "cmdlang/parse_display.h"

namespace zr {

void UnparseCommand(Module&) {}
void cmdParse_Click(Module&) {}
void cmdUnparse_Click(Module&) {}
void scrParse_Change(Module&) {}

}  // namespace zr

#include "cmdlang/checker.h"

namespace zr {

void ParseCommand(Module&) {}
void CheckRunCommand(Module&) {}
void CheckImmediateCommand(Module&) {}
void ReadNumber(Module&) {}
void ReadLabel(Module&) {}
void ReadSelectorNumber(Module&) {}
void ReadVariable(Module&) {}

}  // namespace zr

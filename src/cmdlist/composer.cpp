#include "cmdlist/composer.h"

namespace zr {

void InsertCommand(Module&) {}
void cmdAddCmd_Click(Module&) {}
void cmdInsert_Click(Module&) {}
void cmdEdit_Click(Module&) {}

}  // namespace zr

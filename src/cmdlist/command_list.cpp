#include "cmdlist/command_list.h"

namespace zr {

void cboDevice_Click(Module&) {}

}  // namespace zr

#include "window/start_up.h"

namespace zr {

void Form_Load(Module&) {}
void cboAddress_Click(Module&) {}
void cboBaud_Click(Module&) {}
void cboProtocol_Click(Module&) {}

}  // namespace zr

#include "link/serial_setup.h"

namespace zr {

void SetupPort(Module& m) {
    m.MSComm1.setHandshaking(0);
    m.MSComm1.setInputLen(0);
    m.MSComm1.setDTREnable(false);
    m.MSComm1.setInputMode(0);
    m.MSComm1.setRTSEnable(false);
    m.MSComm1.setSThreshold(0);
}

}  // namespace zr

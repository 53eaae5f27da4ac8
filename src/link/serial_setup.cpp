#include "link/serial_setup.h"

namespace zr {

void SetupPort(Module& m) {
    SetupPort(m.MSComm1);
}

void SetupPort(SerialPort& port) {
    port.setHandshaking(0);
    port.setInputLen(0);
    port.setDTREnable(false);
    port.setInputMode(0);
    port.setRTSEnable(false);
    port.setSThreshold(0);
}

}  // namespace zr

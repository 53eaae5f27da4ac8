#include "pump_script.h"

using namespace zr;

LinkRig::LinkRig() {
    m.Protocol = "DT";
    m.AddrChar = "1";
    m.AddrMode = "s";
    m.BaudRate = "9600";
    m.PortNum = 1;
    form.setListIndex(Control::cboAddress, 0);
    form.setListIndex(Control::cboProtocol, 0);
    form.setListIndex(Control::cboBaud, 2);
    form.setListIndex(Control::cboPort, 0);
}

void LinkRig::answer(const std::string& reply, double delay) {
    serial.onOutput = [this, reply, delay](const std::string&) { serial.arrive(reply, delay); };
}

std::string LinkRig::dtReply(char status, const std::string& data) {
    return std::string("/0") + status + data + "\x03\r\n\xff";
}

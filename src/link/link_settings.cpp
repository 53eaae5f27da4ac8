#include "link/link_settings.h"

#include "link/address.h"
#include "link/serial_setup.h"
#include "shared/list_boxes.h"

namespace zr {

std::string NextBaudRate(const Module& m) {
    const int baud = m.form.listIndex(Control::cboBaud);
    if (baud >= 0 && baud < static_cast<int>(BaudItems.size()))
        return BaudItems[static_cast<std::size_t>(baud)].value;
    return m.BaudRate;
}

std::string NextProtocol(const Module& m) {
    const bool dt = m.form.listIndex(Control::cboProtocol) == DtProtocolIndex;
    return ProtocolItems[static_cast<std::size_t>(dt ? DtProtocolIndex : OemProtocolIndex)].value;
}

void ReadLinkSettings(Module& m) {
    const std::string address = AddressCharacter(m.form.listIndex(Control::cboAddress));
    if (!address.empty()) m.AddrChar = address;
    ClassifyAddress(m);

    m.Protocol = NextProtocol(m);

    m.BaudRate = NextBaudRate(m);

    const int port = m.form.listIndex(Control::cboPort) + 1;
    if (port != m.PortNum) {
        if (m.MSComm1.portOpen()) m.MSComm1.setPortOpen(false);
        m.PortNum = static_cast<int16_t>(port);
    }
    if (!m.MSComm1.portOpen()) SetupPort(m);
}

}  // namespace zr

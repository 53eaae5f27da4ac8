#include "link/link_summary.h"

#include "link/link_settings.h"
#include "shared/list_boxes.h"

namespace zr {

namespace {

std::string PortPart(const Module& m, int16_t port) {
    if (port == 0) return "no port: \"" + m.form.text(Control::cboPort) + "\" is not one of Com1 to Com4";
    const std::string device = m.MSComm1.deviceOf(port);
    return "Com" + std::to_string(port) + " = " + (device.empty() ? std::string("no device") : device);
}

// A port left open by an unanswered or multiple-address exchange is used as it is: its line
// settings change only once a reply has been read and it has closed.
std::string SettingsPart(const Module& m, int16_t port) {
    const std::string baud = NextBaudRate(m);
    std::string chosen = (baud.empty() ? std::string("no baud rate") : baud) + ",n,8,1";
    const std::string& inUse = m.LastExchange.settings;
    if (m.MSComm1.portOpen() && port == m.PortNum && !inUse.empty() && inUse != chosen)
        return inUse + " (port still open; " + chosen + " once it has closed)";
    return chosen;
}

std::string AddressPart(const Module& m) {
    const int index = m.form.listIndex(Control::cboAddress);
    const std::string item = m.form.item(Control::cboAddress, index);
    if (index < 0) return "pump " + m.AddrChar;
    if (index < FirstGroupAddressIndex) return "pump " + item;
    if (index == AllPumpsAddressIndex) return "all pumps";
    return "pumps " + item;
}

}  // namespace

std::string LinkSummary(const Module& m) {
    const auto port = static_cast<int16_t>(m.form.listIndex(Control::cboPort) + 1);
    const char* dot = " \xB7 ";
    return PortPart(m, port) + dot + SettingsPart(m, port) + dot + NextProtocol(m) + dot + AddressPart(m);
}

void ShowLinkSummary(Module& m) {
    const std::string summary = LinkSummary(m);
    m.form.setToolTip(Control::cmdXmit, summary);
    m.form.setToolTip(Control::cboAddress, summary);
}

}  // namespace zr

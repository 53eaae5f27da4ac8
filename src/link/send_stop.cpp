#include "link/send_stop.h"

#include <array>

#include "link/address.h"
#include "link/serial_setup.h"
#include "link/transaction.h"
#include "reply/position_display.h"

namespace zr {

namespace {

constexpr std::array<const char*, 6> kBaudRates = {"38400", "19200", "9600", "4800", "2400", "1200"};

}  // namespace

void text1_Change(Module& m) { m.CmdString = m.form.text(Control::text1); }

void ReadLinkSettings(Module& m) {
    const std::string address = AddressCharacter(m.form.listIndex(Control::cboAddress));
    if (!address.empty()) m.AddrChar = address;
    ClassifyAddress(m);

    m.Protocol = m.form.listIndex(Control::cboProtocol) == 0 ? "DT" : "OEM";

    const int baud = m.form.listIndex(Control::cboBaud);
    if (baud >= 0 && baud < static_cast<int>(kBaudRates.size())) m.BaudRate = kBaudRates[static_cast<std::size_t>(baud)];

    const int port = m.form.listIndex(Control::cboPort) + 1;
    if (port != m.PortNum) {
        if (m.MSComm1.portOpen()) m.MSComm1.setPortOpen(false);
        m.PortNum = static_cast<int16_t>(port);
    }
    if (!m.MSComm1.portOpen()) SetupPort(m);
}

void cmdXmit_Click(Module& m) {
    if (m.InTransaction) return;
    m.form.setEnabled(Control::cmdEdit, false);
    ReadLinkSettings(m);
    m.SilentReply = 0;
    XmitCommand(m);
    switch (m.form.value(Control::chkReport)) {
        case 1:
            if (!m.PortFailed) ShowPosition(m);
            break;
        case 0:
            m.form.setText(Control::lblSyringe, "");
            m.form.setText(Control::lblValve, "");
            break;
        default:
            break;
    }
}

void cmdStop_Click(Module& m) {
    if (m.InTransaction) {
        ++m.PendingStops;
        return;
    }
    const std::string saved = m.CmdString;
    m.CmdString = "T\r";
    cmdXmit_Click(m);
    cmdXmit_Click(m);
    m.CmdString = saved;
}

void RunPendingStops(Module& m) {
    while (m.PendingStops > 0 && !m.InTransaction) {
        --m.PendingStops;
        const std::string data = m.ReplyData;
        const std::string status = m.StatusChar;
        const int16_t silent = m.SilentReply;
        cmdStop_Click(m);
        m.ReplyData = data;
        m.StatusChar = status;
        m.SilentReply = silent;
    }
}

void Timer2_Timer(Module& m) {
    m.Timer2.setEnabled(false);
    m.dialogs.messageBox("Timeout error.  No response from pump", MessageIcon::None, "Comm Error");
}

}  // namespace zr

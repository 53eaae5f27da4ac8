#include "live_link.h"

#include "link/address.h"
#include "link/serial_setup.h"

LiveLink::LiveLink()
    : port(folder.path()),
      files(folder.path().toStdString()),
      m(port, timer, clock, events, dialogs, form, files) {}

bool LiveLink::start(const QStringList& options) {
    return sim.start(folder.path(), options);
}

void LiveLink::choose(const std::string& protocol, const std::string& address) {
    m.Protocol = protocol;
    m.AddrChar = address;
    zr::ClassifyAddress(m);
    m.BaudRate = "9600";
    m.PortNum = 1;
    m.SilentReply = 0;
    zr::SetupPort(m);
}

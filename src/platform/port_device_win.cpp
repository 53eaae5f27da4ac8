#include <QSerialPortInfo>

#include "platform/port_device.h"

namespace zr {

// COMn is Windows' own COMn: it stands where a link would, and no list is needed to find it.
ComLink ReadComLink(int number, const std::string&) {
    ComLink link;
    link.path = "COM" + std::to_string(number);
    link.present = true;
    return link;
}

std::vector<SerialPortEntry> ListSerialPorts() {
    std::vector<SerialPortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.push_back({info.portName().toStdString(),
                         {},
                         info.description().toStdString(),
                         info.manufacturer().toStdString(),
                         info.serialNumber().toStdString(),
                         info.hasVendorIdentifier(),
                         true});
    return ports;
}

// Ports are listed afresh each time they are needed.
std::optional<std::int64_t> DevicesStamp() {
    return std::nullopt;
}

// Windows tells nothing before the opening itself; its failure names the reason.
std::string DeviceProblem(const std::string&) {
    return {};
}

// A removed device shows as a resource error of the serial port itself.
bool DeviceHungUp(qintptr) {
    return false;
}

DeviceHolder HolderOf(const std::string&) {
    return {};
}

}  // namespace zr

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <map>

#include "platform/serial/port_device.h"

namespace zr {

namespace {

// Each device's stable name under /dev/serial/by-id, where udev made one (USB adapters).
std::map<std::string, std::string> StableNames() {
    std::map<std::string, std::string> names;
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& link :
         byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name))
        names.emplace(link.canonicalFilePath().toStdString(), link.absoluteFilePath().toStdString());
    return names;
}

// False when the kernel reports no UART behind the port (type 0): a ttyS with nothing there.
bool UartKnown(const QString& portName) {
    QFile type(QStringLiteral("/sys/class/tty/%1/type").arg(portName));
    if (!type.open(QIODevice::ReadOnly)) return true;
    return type.readAll().trimmed() != "0";
}

}  // namespace

std::vector<SerialPortEntry> ListSerialPorts() {
    const std::map<std::string, std::string> stable = StableNames();
    std::vector<SerialPortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialPortEntry port;
        port.device = info.systemLocation().toStdString();
        if (const auto found = stable.find(port.device); found != stable.end()) port.byId = found->second;
        port.description = info.description().toStdString();
        port.manufacturer = info.manufacturer().toStdString();
        port.serialNumber = info.serialNumber().toStdString();
        port.adapter = info.hasVendorIdentifier() || info.portName().startsWith(QStringLiteral("ttyUSB")) ||
                       info.portName().startsWith(QStringLiteral("ttyACM"));
        port.uartKnown = UartKnown(info.portName());
        ports.push_back(std::move(port));
    }
    return ports;
}

}  // namespace zr

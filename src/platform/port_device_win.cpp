#include "platform/port_device.h"

namespace zr {

PortDevice ComPortDevice(int number, const QString&) {
    const QString name = QStringLiteral("COM%1").arg(number);
    return {name, name.toStdString()};
}

// Windows tells nothing before the opening itself; its failure names the reason.
std::string DeviceProblem(const PortDevice&) {
    return {};
}

// A removed device shows as a resource error of the serial port itself.
bool DeviceHungUp(qintptr) {
    return false;
}

}  // namespace zr

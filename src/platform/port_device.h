#pragma once

#include <QString>
#include <QtGlobal>
#include <string>

namespace zr {

// The operating-system device behind a port number, and how to name it to the operator.
struct PortDevice {
    QString path;       // what the serial port opens
    std::string shown;  // e.g. "/opt/zr/COM1 -> /dev/pts/5", "/dev/ttyS0", "COM1"
};

// Each platform has its own file with these three functions.

// The device for port 1..4.
PortDevice ComPortDevice(int number, const QString& programDir);

// Why the device cannot be opened, as far as can be told before trying
// ("no such device", "permission denied", "not a serial device"); empty when nothing is seen.
std::string DeviceProblem(const PortDevice& device);

// True when the open device behind this handle has gone (the far end of a pseudo-terminal
// closed, a USB adapter pulled out): nothing will ever arrive on it again.
bool DeviceHungUp(qintptr handle);

}  // namespace zr

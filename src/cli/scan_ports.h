#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/link_options.h"
#include "platform/serial/qt_serial_port.h"

namespace zr::cli {

// A port a scan probes: named as the window numbers it or as the device given, opened as
// port `number` of the serial port object (a given device stands for that number).
struct ScanPort {
    std::string name;    // "Com2", "/dev/ttyUSB0"
    int16_t number = 1;  // the port number it opens as
    std::string device;  // the device given by path; "" for a Com port
};

// The ports named on the command line (Com1..Com4 or devices' paths), each device once.
std::vector<ScanPort> GivenScanPorts(const std::vector<std::string>& names, const QtSerialPort& port);

// The link a session opens the scan port by, with the window's other start-up choices.
LinkOptions LinkOf(const ScanPort& port);

// Every Com port as the window maps it that stands for a device, then every serial adapter
// present that none of them is; each device once.
std::vector<ScanPort> DefaultScanPorts(const QtSerialPort& port);

// What the scan port resolves to, as the operator knows it: "/opt/zr/COM1 -> /dev/pts/5" for
// a Com port, the device at the end of its links for a device given by path.
std::string ResolvedName(const ScanPort& scanPort, const QtSerialPort& port);

// Why the scan port could not be opened, named as the scan names it.
std::string OpenError(const ScanPort& scanPort, const QtSerialPort& port);

}  // namespace zr::cli

#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zr {

// One serial port this computer has, as the operating system lists it.
struct SerialPortEntry {
    std::string device;        // what is opened, e.g. "/dev/ttyUSB0"
    std::string byId;          // its stable name, e.g. "/dev/serial/by-id/usb-FTDI_...-port0"; "" if none
    std::string description;   // e.g. "FT232R USB UART"; "" when unknown
    std::string manufacturer;  // e.g. "FTDI"; "" when unknown
    std::string serialNumber;  // "" when unknown
    bool adapter = false;      // a USB or ACM adapter rather than an on-board port
    bool uartKnown = true;     // false: the kernel knows no UART behind it (nothing is there)
};

// Lists the computer's serial ports; a seam, so that tests can give any set of devices.
using PortLister = std::function<std::vector<SerialPortEntry>()>;

// What the file COMn in the program's folder is.
struct ComLink {
    std::string path;      // the folder's COMn
    bool present = false;  // something is there (a link, a file, a folder...)
    bool symLink = false;
    std::string target;    // a link's target as written
    std::string resolved;  // a link followed to its end; "" when it leads nowhere
};

// The device COMn stands for.
struct ComDevice {
    std::string path;                     // what is opened; "" when COMn stands for nothing
    std::string shown;                    // how the operator knows it, e.g. "/opt/zr/COM1 -> /dev/pts/5"
    std::optional<SerialPortEntry> port;  // the listed port it is, without a link
    std::string nothing;                  // why it stands for nothing, when it does
};

// The ports that count for COM1..COM4, in their order: USB and ACM adapters first by their
// stable names (so an adapter keeps its number in any socket), then on-board ports by device
// number. A port with no UART behind it does not count.
std::vector<SerialPortEntry> CountedPorts(std::vector<SerialPortEntry> ports);

// COMn (1..4): the folder's COMn when something is there, else the n-th counted port. The
// ports are listed only when there is no COMn in the folder; `linked` tells whether another
// number has a COMn in the folder, for the message when COMn stands for nothing.
ComDevice MapComPort(int number, const ComLink& link, const PortLister& ports, const std::string& folder,
                     const std::function<bool(int)>& linked);

}  // namespace zr

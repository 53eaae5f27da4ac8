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
    std::string target;  // a link's target as written
    // A link followed to its end; for one that leads nowhere, its relative target taken from
    // the link's folder ("" for an absolute one).
    std::string resolved;
    std::string firstLine;  // a plain file's first line: a network port's name, for one
};

// How COMn came to stand for its device.
enum class ComVia {
    Nothing,  // it stands for no device
    Link,     // the folder's COMn
    Adapter,  // the n-th counted port, a USB or ACM adapter known by its stable name
    Port,     // the n-th counted port, known only by its device name
};

// The device COMn stands for.
struct ComDevice {
    std::string path;                     // what is opened; "" when COMn stands for nothing
    std::string shown;                    // how the operator knows it, e.g. "/opt/zr/COM1 -> /dev/pts/5"
    std::optional<SerialPortEntry> port;  // the listed port it is, without a link
    std::string nothing;                  // why it stands for nothing, when it does
    ComVia via = ComVia::Nothing;
    // The same while it is the same device, whatever /dev name it has today: a link's target as
    // written, an adapter's stable name, a port's device.
    std::string identity;
};

// The device's stable name and /dev name where it has both ("/dev/serial/by-id/usb-FTDI_...
// (/dev/ttyUSB0)"), else as shown.
std::string DeviceName(const ComDevice& device);

// The ports that count for COM1..COM4, in their order: USB and ACM adapters first by their
// stable names (so an adapter keeps its number in any socket), then on-board ports by device
// number. A port with no UART behind it does not count.
std::vector<SerialPortEntry> CountedPorts(std::vector<SerialPortEntry> ports);

// COMn (1..4): the folder's COMn when something is there (a link to a device, or a plain file
// holding a network port's name, e.g. "rfc2217://bench-3:4001"), else the n-th counted port. The
// ports are listed only when there is no COMn in the folder; `linked` tells whether another
// number has a COMn in the folder, for the message when COMn stands for nothing.
ComDevice MapComPort(int number, const ComLink& link, const PortLister& ports, const std::string& folder,
                     const std::function<bool(int)>& linked);

// Whether a frame may go to the device port `number` stands for `now`, given what it stood for
// when it was last opened this run (`before`, nullopt before the first opening). A port
// never switches to another device without a word: a link made or changed, or the computer's
// ports numbered anew, is told once and then followed (`follow`); a link or an adapter that no
// longer gives the port refuses every frame until it is back, or until the operator chooses
// the port again. The ports are listed only to tell where an adapter has gone.
struct ComChange {
    std::string refusal;  // why nothing may be sent, and what to do; "" when a frame may go
    bool follow = false;  // the change has been told: from now on the port stands for `now`
};
ComChange CheckComChange(int number, const std::optional<ComDevice>& before, const ComDevice& now,
                         const std::string& folder, const PortLister& ports);

}  // namespace zr

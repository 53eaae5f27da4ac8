#pragma once

#include <QtGlobal>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/serial/com_map.h"

namespace zr {

// Each platform has its own files with these functions.

// What the file COMn in `folder` is. A link is read, and followed only to see where it ends.
ComLink ReadComLink(int number, const std::string& folder);

// The computer's serial ports, as the operating system lists them. Slow: tens of
// milliseconds where each device is looked at.
std::vector<SerialPortEntry> ListSerialPorts();

// A stamp of the set of devices (when /dev and the stable names last changed): while it stays
// the same, no port came or went and an earlier listing still holds. Nothing where the system
// tells no such time.
std::optional<std::int64_t> DevicesStamp();

inline constexpr const char* kNoSuchDevice = "no such device";

// Why the device cannot be opened, as far as can be told before trying, with what to do about
// it (kNoSuchDevice, "permission denied: add your user to ..."); empty when nothing is seen.
std::string DeviceProblem(const std::string& path);

// True when the open device behind this handle has gone (the far end of a pseudo-terminal
// closed, a USB adapter pulled out): nothing will ever arrive on it again.
bool DeviceHungUp(qintptr handle);

// The process that holds a device, as its lock file or else the process table tell.
struct DeviceHolder {
    long pid = 0;         // 0: nothing tells
    std::string name;     // the program's name
    bool locked = false;  // it holds the device's lock file, not just a descriptor open on it
};
DeviceHolder HolderOf(const std::string& path);

}  // namespace zr

#pragma once

#include <string>

#include "platform/serial/com_map.h"

namespace zr {

// Port `number` for the operator, one fact a line: what it stands for (the device's stable name
// and its /dev name, or the link), the adapter's description, maker and serial number where
// known, and its state: "free", "busy: held by NAME (process PID)" (its lock file says so),
// "free, but NAME (process PID) has it open too", "open in this program", "missing", a reason
// it cannot be used, or why it stands for no device. A network port is told by its kind, and
// as "connected" when `connected` (it is this program's open port).
std::string DescribePort(int number, const ComDevice& device, bool connected);

}  // namespace zr

#pragma once

#include <functional>
#include <string>

#include "cli/scan_plan.h"
#include "cli/scan_ports.h"
#include "cli/scan_report.h"
#include "platform/serial/qt_serial_port.h"

namespace zr::cli {

// What a port's scan tells as it goes: each probe as it is asked, each pump as it is found.
struct ScanEvents {
    std::function<void(const Probe&)> probing;
    std::function<void(const FoundPump&)> found;
};

// Probes `scanPort` over `port` as `plan` orders until the plan ends or `stop` turns true,
// then closes the port. A pump that answered too late for its probe stretches the waits, and
// the probes asked since it may have been asked are asked again. False when the port could not
// be opened (or went away), with `error` saying why.
bool ScanOnePort(QtSerialPort& port, const ScanPort& scanPort, ScanPlan plan, double margin,
                 const std::function<bool()>& stop, const ScanEvents& events, std::string& error);

}  // namespace zr::cli

#pragma once

#include <CLI/App.hpp>
#include <string>
#include <vector>

#include "cli/scan_plan.h"
#include "cli/scan_ports.h"
#include "platform/serial/qt_serial_port.h"

namespace zr::cli {

// The ports, baud rates and protocols a scan tries, as the command line names them; none named
// of a kind: every one.
struct ScanTargets {
    std::vector<std::string> ports, bauds, protocols;
};

// Adds --port, --baud and --protocol, each given again for each more value.
struct ScanTargetOptions {
    CLI::Option *port, *baud, *protocol;
};
ScanTargetOptions AddScanTargets(CLI::App& command, ScanTargets& targets, const std::string& portHelp);

// The ports named, or every Com port as the window maps it that stands for a device and every
// serial adapter present.
std::vector<ScanPort> PortsOf(const ScanTargets& targets, const QtSerialPort& port);
// The order of probes over the rates and protocols named.
ScanPlan PlanOf(const ScanTargets& targets);

}  // namespace zr::cli

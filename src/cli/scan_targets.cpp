#include "cli/scan_targets.h"

#include "cli/link_options.h"
#include "shared/list_boxes.h"

namespace zr::cli {

namespace {

// The indices of the chosen items of a list; every item when none is chosen.
std::vector<int> Indices(Control combo, const std::vector<std::string>& chosen, int count) {
    std::vector<int> indices;
    indices.reserve(chosen.size());
    for (const std::string& value : chosen) indices.push_back(*ChoiceIndex(combo, value));
    for (int i = 0; chosen.empty() && i < count; ++i) indices.push_back(i);
    return indices;
}

// Accepts only the items of a list, as the link options do.
CLI::Validator OneOf(Control combo) {
    return CLI::Validator(
        [combo](std::string& value) {
            return ChoiceIndex(combo, value) ? std::string()
                                             : "\"" + value + "\" is not one of: " + Choices(combo);
        },
        "");
}

// An option given again for each more value, one value each time.
CLI::Option* AddRepeated(CLI::App& command, const std::string& name, std::vector<std::string>& values,
                         const std::string& help, const std::string& kind, const CLI::Validator& check) {
    return command.add_option(name, values, help)->type_name(kind)->check(check)->allow_extra_args(false);
}

}  // namespace

ScanTargetOptions AddScanTargets(CLI::App& command, ScanTargets& targets, const std::string& portHelp) {
    return {AddRepeated(command, "--port", targets.ports, portHelp, "PORT",
                        CLI::Validator(
                            [](std::string& value) {
                                return ReadPort(value) ? std::string() : "needs a port or a device";
                            },
                            "")),
            AddRepeated(command, "--baud", targets.bauds, "a baud rate to try; again for more (default: all)",
                        "RATE", OneOf(Control::cboBaud)),
            AddRepeated(command, "--protocol", targets.protocols, "DT or OEM; again for both (default: both)",
                        "DT|OEM", OneOf(Control::cboProtocol))};
}

std::vector<ScanPort> PortsOf(const ScanTargets& targets, const QtSerialPort& port) {
    return targets.ports.empty() ? DefaultScanPorts(port) : GivenScanPorts(targets.ports, port);
}

ScanPlan PlanOf(const ScanTargets& targets) {
    return ScanPlan(Indices(Control::cboBaud, targets.bauds, int(BaudItems.size())),
                    Indices(Control::cboProtocol, targets.protocols, int(ProtocolItems.size())));
}

}  // namespace zr::cli

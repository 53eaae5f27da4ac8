#include <QCoreApplication>
#include <memory>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "cli/link_options.h"
#include "cli/output.h"
#include "cli/scan_ports.h"
#include "cli/scan_prober.h"
#include "cli/scan_report.h"
#include "cli/subcommands.h"
#include "platform/files/data_folders.h"
#include "platform/qt/steady_clock.h"

namespace zr::cli {

namespace {

struct ScanChoices {
    std::vector<std::string> ports;
    std::vector<std::string> bauds;
    std::vector<std::string> protocols;
    bool json = false;
};

// The indices of the chosen items of a list; every item when none is chosen.
std::vector<int> Indices(Control combo, const std::vector<std::string>& chosen, int count) {
    std::vector<int> indices;
    indices.reserve(chosen.size());
    for (const std::string& value : chosen) indices.push_back(*ChoiceIndex(combo, value));
    for (int i = 0; chosen.empty() && i < count; ++i) indices.push_back(i);
    return indices;
}

// Probes one port as the plan orders, printing each pump as it is found, until the plan ends or
// the output is lost; false when the port could not be opened (or went away), which is then
// reported.
bool ScanOne(const ScanPort& scanPort, const ScanChoices& c, QtSerialPort& port, ScanProber& prober,
             ScanProgress& progress, int& found) {
    // Each port is the scan's deliberate choice, whatever the one before stood for.
    port.setDevice(scanPort.device.empty() ? int16_t{0} : scanPort.number, scanPort.device);
    port.choosePort(scanPort.number);
    ScanPlan plan(Indices(Control::cboBaud, c.bauds, int(BaudItems.size())),
                  Indices(Control::cboProtocol, c.protocols, int(ProtocolItems.size())));
    while (const std::optional<Probe> probe = OutputLost() ? std::nullopt : plan.next()) {
        progress.show(scanPort.name, *probe, found);
        if (!prober.open(scanPort.number, probe->baudIndex)) {
            progress.clear();
            Tell("scan: " + scanPort.name + ": " + OpenError(scanPort, port));
            return false;
        }
        const std::optional<ReplyParts> position = prober.ask(*probe, "?");
        if (!position) continue;
        plan.answered(*probe);
        const FoundPump pump{scanPort.name, ResolvedName(scanPort, port), *probe, *position,
                             prober.ask(*probe, "&")};
        progress.clear();
        PrintLine(c.json ? PumpJson(pump) : PumpLine(pump));
        ++found;
    }
    prober.close();
    return true;
}

int Scan(const ScanChoices& c) {
    QtSerialPort port(
        QString::fromStdString(FindDataFolders(QCoreApplication::applicationDirPath().toStdString()).data));
    SteadyClock clock;
    ScanProber prober(port, clock);
    const std::vector<ScanPort> ports =
        c.ports.empty() ? DefaultScanPorts(port) : GivenScanPorts(c.ports, port);
    if (ports.empty()) {
        Tell(
            "scan: no port to scan: Com1..Com4 stand for no device and no serial adapter is present; "
            "name the device with --port");
        return kPortFailed;
    }
    ScanProgress progress;
    int found = 0;
    std::string scanned;
    for (const ScanPort& scanPort : ports) {
        if (OutputLost()) break;
        if (ScanOne(scanPort, c, port, prober, progress, found))
            scanned +=
                (scanned.empty() ? "" : ", ") + scanPort.name + " (" + ResolvedName(scanPort, port) + ")";
    }
    progress.clear();
    if (found > 0) return kDone;
    if (scanned.empty()) return kPortFailed;
    Tell("scan: no pump answered on " + scanned);
    return kNoReply;
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

void AddScan(CLI::App& program, Action& action) {
    const auto choices = std::make_shared<ScanChoices>();
    CLI::App* scan = program.add_subcommand("scan", "find the pumps on the ports, with queries only");
    scan->footer(
        "\nProbes each port at each baud rate and protocol for pumps 1 to F with \"?\" and, where a\n"
        "pump answers, \"&\": a scan never moves a pump. The window's defaults (9600, DT, pump 1)\n"
        "come first; once a setting answers, the other pumps are probed there first. A probe\n"
        "without answer ends once a reply could no longer have crossed the line. Prints each pump\n"
        "as it is found; exit status 0 when one was found, 3 when none answered, 2 when no port\n"
        "could be opened.");
    AddRepeated(
        *scan, "--port", choices->ports,
        "a port to scan, Com1..Com4 or a device's path; again for more (default: Com1..Com4 as "
        "the window maps them and every serial adapter present)",
        "PORT",
        CLI::Validator(
            [](std::string& value) { return ReadPort(value) ? std::string() : "needs a port or a device"; },
            ""));
    AddRepeated(*scan, "--baud", choices->bauds, "a baud rate to try; again for more (default: all)", "RATE",
                OneOf(Control::cboBaud));
    AddRepeated(*scan, "--protocol", choices->protocols, "DT or OEM; again for both (default: both)",
                "DT|OEM", OneOf(Control::cboProtocol));
    scan->add_flag("--json", choices->json, "one JSON object a line for each pump found");
    scan->callback([choices, &action] { action = [choices] { return Scan(*choices); }; });
}

}  // namespace zr::cli

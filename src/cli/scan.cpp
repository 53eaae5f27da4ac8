#include <QCoreApplication>
#include <QThread>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "cli/link_options.h"
#include "cli/output.h"
#include "cli/scan_one_port.h"
#include "cli/scan_report.h"
#include "cli/scan_sila.h"
#include "cli/scan_targets.h"
#include "cli/subcommands.h"
#include "platform/files/data_folders.h"

namespace zr::cli {

namespace {

struct ScanChoices {
    ScanTargets targets;
    int replyMarginMs = DefaultReplyMarginMs;
    bool json = false;
    bool sila = false;
    double seconds = 5;
};

// What the ports' scans tell, one at a time: the pumps as they are found, the ports that
// failed, the progress line.
class Reporter {
public:
    explicit Reporter(bool json) : json_(json) {}
    void probing(const std::string& port, const Probe& probe) {
        const std::lock_guard lock(mutex_);
        progress_.show(port, probe, found_);
    }
    void found(const FoundPump& pump) {
        const std::lock_guard lock(mutex_);
        progress_.clear();
        PrintLine(json_ ? PumpJson(pump) : PumpLine(pump));
        ++found_;
    }
    void tell(const std::string& text) {
        const std::lock_guard lock(mutex_);
        progress_.clear();
        Tell(text);
    }
    // Takes the progress line away; the count of pumps found.
    int end() {
        const std::lock_guard lock(mutex_);
        progress_.clear();
        return found_;
    }

private:
    std::mutex mutex_;
    ScanProgress progress_;
    const bool json_;
    int found_ = 0;
};

// Probes one port, telling each pump as it is found, until the plan ends or the output is
// lost. False when the port could not be opened (or went away), which is then told;
// `resolved` is the device the port stands for.
bool ScanOne(const ScanPort& scanPort, const ScanChoices& c, const QString& dataFolder, Reporter& reporter,
             std::string& resolved) {
    QtSerialPort port(dataFolder);
    std::string error;
    const bool opened = ScanOnePort(
        port, scanPort, PlanOf(c.targets), c.replyMarginMs / 1000.0, [] { return OutputLost(); },
        {[&](const Probe& probe) { reporter.probing(scanPort.name, probe); },
         [&](const FoundPump& pump) { reporter.found(pump); }},
        error);
    if (!opened) reporter.tell("scan: " + scanPort.name + ": " + error);
    resolved = ResolvedName(scanPort, port);
    return opened;
}

// Scans the ports side by side, each in a thread of its own.
int Scan(const ScanChoices& c) {
    const QString dataFolder =
        QString::fromStdString(FindDataFolders(QCoreApplication::applicationDirPath().toStdString()).data);
    const QtSerialPort port(dataFolder);
    const std::vector<ScanPort> ports = PortsOf(c.targets, port);
    if (ports.empty()) {
        Tell(
            "scan: no port to scan: Com1..Com4 stand for no device and no serial adapter is present; "
            "name the device with --port");
        return kPortFailed;
    }
    Reporter reporter(c.json);
    std::vector<std::string> resolved(ports.size());
    std::vector<char> opened(ports.size());
    std::vector<std::unique_ptr<QThread>> threads;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        threads.emplace_back(QThread::create(
            [&, i] { opened[i] = ScanOne(ports[i], c, dataFolder, reporter, resolved[i]) ? 1 : 0; }));
        threads.back()->start();
    }
    for (const std::unique_ptr<QThread>& thread : threads) thread->wait();
    if (reporter.end() > 0) return kDone;
    std::string scanned;
    for (std::size_t i = 0; i < ports.size(); ++i)
        if (opened[i]) scanned += (scanned.empty() ? "" : ", ") + ports[i].name + " (" + resolved[i] + ")";
    if (scanned.empty()) return kPortFailed;
    Tell("scan: no pump answered on " + scanned);
    return kNoReply;
}

}  // namespace

void AddScan(CLI::App& program, Action& action) {
    const auto choices = std::make_shared<ScanChoices>();
    CLI::App* scan = program.add_subcommand("scan", "find the pumps on the ports, with queries only");
    scan->footer(
        "\nProbes each port at each baud rate and protocol for pumps 1 to F with \"?\" and, where a\n"
        "pump answers, \"&\": a scan never moves a pump. The window's defaults (9600, DT, pump 1)\n"
        "come first; once a setting answers, the other pumps are probed there first. The ports\n"
        "are probed side by side. A probe without answer ends once a reply could no longer have\n"
        "crossed the line and the network, its first byte up to --reply-margin late; a pump that\n"
        "answers later still makes the waits longer and the probes since it are asked again.\n"
        "Prints each pump as it is found; exit status 0 when one was found, 3 when none answered,\n"
        "2 when no port could be opened.\n\n"
        "With --sila it probes no port: it lists the SiLA servers announced by DNS-SD on the network\n"
        "(_sila._tcp, through avahi-daemon) with their name, UUID and address, and for the pump\n"
        "servers of zadu-rovu-cli the pump and the port each serves; exit status 0 when one was\n"
        "found, 3 when none, 2 when avahi-daemon cannot be asked.");
    const ScanTargetOptions given = AddScanTargets(
        *scan, choices->targets,
        "a port to scan, Com1..Com4 or a device's path; again for more (default: Com1..Com4 as "
        "the window maps them and every serial adapter present)");
    AddReplyMargin(*scan, choices->replyMarginMs);
    scan->add_flag("--json", choices->json, "one JSON object a line for each pump (or SiLA server) found");
    CLI::Option* sila =
        scan->add_flag("--sila", choices->sila, "list the SiLA servers announced by DNS-SD instead")
            ->excludes(given.port)
            ->excludes(given.baud)
            ->excludes(given.protocol);
    // Bounded, so that the deadline it makes stays a time the clock holds.
    scan->add_option("--seconds", choices->seconds,
                     "with --sila, how long to browse at most, 0.1 to 3600 (default 5)")
        ->type_name("SECONDS")
        ->check(CLI::Range(0.1, 3600.0))
        ->needs(sila);
    scan->callback([choices, &action] {
        action = [choices] {
            return choices->sila ? ScanSila(choices->seconds, choices->json) : Scan(*choices);
        };
    });
}

}  // namespace zr::cli

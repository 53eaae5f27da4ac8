#include "sila/pump_finder.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <memory>

#include "cli/output.h"
#include "cli/pumps.h"
#include "cli/scan_one_port.h"
#include "cli/session.h"
#include "platform/files/data_folders.h"
#include "shared/list_boxes.h"

namespace zr::sila {

namespace {

// What one port's scan gave.
struct PortResult {
    std::vector<cli::FoundPump> found;
    std::string error;  // why it could not be opened; "" when it could
};

std::string SettingName(int baudIndex, int protocolIndex) {
    return std::string(BaudItems[baudIndex].value) + " baud, " + ProtocolItems[protocolIndex].item;
}

std::string Listed(const std::vector<cli::ScanPort>& ports) {
    std::string names;
    for (const cli::ScanPort& p : ports) names += (names.empty() ? "" : ", ") + p.name;
    return names;
}

}  // namespace

PumpFinder::PumpFinder(cli::ScanTargets targets, int replyMarginMs, PumpServers& servers,
                       std::function<bool()> stop)
    : targets_(std::move(targets)), marginMs_(replyMarginMs), servers_(servers), stop_(std::move(stop)) {}

void PumpFinder::find() {
    const QString dataFolder =
        QString::fromStdString(FindDataFolders(QCoreApplication::applicationDirPath().toStdString()).data);
    const std::vector<cli::ScanPort> ports = cli::PortsOf(targets_, QtSerialPort(dataFolder));
    if (ports.empty()) {
        cli::Tell(
            "serve: no port to look for pumps on: Com1..Com4 stand for no device and no serial adapter is "
            "present; plug the adapter in and send SIGHUP, or name the device with --port");
        return;
    }
    cli::Tell("serve: looking for pumps on " + Listed(ports));
    const double margin = marginMs_ / 1000.0;
    std::vector<PortResult> results(ports.size());
    std::vector<std::unique_ptr<QThread>> threads;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const cli::ScanPort& port = ports[i];
        PortResult* result = &results[i];
        const cli::ScanEvents events{[](const cli::Probe&) {},
                                     [result](const cli::FoundPump& pump) { result->found.push_back(pump); }};
        PortQueue* queue = servers_.queueOf(port.name);
        std::function<void()> scan;
        if (!queue) {
            scan = [this, &port, result, events, margin, dataFolder] {
                QtSerialPort line(dataFolder);
                cli::ScanOnePort(line, port, cli::PlanOf(targets_), margin, stop_, events, result->error);
            };
        } else {
            const Setting s = settings_.at(port.name);
            const cli::ScanPlan plan({s.baudIndex}, {s.protocolIndex});
            scan = [this, &port, result, events, margin, queue, plan] {
                queue->run(
                    [&](cli::Session& session) {
                        cli::ScanOnePort(session.port(), port, plan, margin, stop_, events, result->error);
                    },
                    stop_);
            };
        }
        threads.emplace_back(QThread::create(std::move(scan)));
        threads.back()->start();
    }
    for (const std::unique_ptr<QThread>& thread : threads) thread->wait();
    for (std::size_t i = 0; i < ports.size() && !stop_(); ++i) {
        if (!results[i].error.empty()) cli::Tell("serve: " + ports[i].name + ": " + results[i].error);
        serveFound(ports[i], std::move(results[i].found));
    }
    if (servers_.empty() && !stop_())
        cli::Tell("serve: no pump answered on " + Listed(ports) +
                  ": switch the pumps on or plug the adapter in, then send SIGHUP (systemctl reload "
                  "zadu-rovu-serve) to look again");
}

// The pumps of one port are served at the setting the first of them answered at: one line,
// one baud rate and protocol.
void PumpFinder::serveFound(const cli::ScanPort& port, std::vector<cli::FoundPump> found) {
    if (found.empty()) return;
    const cli::Probe& first = found.front().probe;
    const Setting s =
        settings_.try_emplace(port.name, Setting{first.baudIndex, first.protocolIndex}).first->second;
    // Served in the order of their addresses, so that their port numbers follow them.
    std::stable_sort(found.begin(), found.end(), [](const cli::FoundPump& a, const cli::FoundPump& b) {
        return a.probe.addressIndex < b.probe.addressIndex;
    });
    for (const cli::FoundPump& pump : found) {
        const cli::Probe& p = pump.probe;
        if (servers_.serves(port.name, p.addressIndex)) continue;
        const std::string name = cli::AddressName(p.addressIndex);
        if (s.baudIndex != p.baudIndex || s.protocolIndex != p.protocolIndex) {
            cli::Tell("serve: pump " + name + " on " + port.name + " answers at " +
                      SettingName(p.baudIndex, p.protocolIndex) + ", but the port is served at " +
                      SettingName(s.baudIndex, s.protocolIndex) +
                      ": it is not served; set it to the port's baud rate and protocol");
            continue;
        }
        cli::LinkOptions link = cli::LinkOf(port);
        link.baudIndex = s.baudIndex;
        link.protocolIndex = s.protocolIndex;
        link.addressIndex = p.addressIndex;
        link.replyMarginMs = marginMs_;
        std::string error;
        if (!servers_.serve(port.name, link, p.addressIndex, error))
            cli::Tell("serve: cannot serve pump " + name + " on " + port.name + ": " + std::move(error));
    }
}

}  // namespace zr::sila

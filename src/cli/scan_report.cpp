#include "cli/scan_report.h"

#include <QJsonObject>
#include <charconv>

#include "cli/output.h"
#include "cli/terminal.h"
#include "reply/status_meanings.h"
#include "shared/list_boxes.h"

namespace zr::cli {

namespace {

// The position the reply gives, when its data are a whole number.
std::optional<long> Steps(const std::string& data) {
    long steps = 0;
    const auto [end, ec] = std::from_chars(data.data(), data.data() + data.size(), steps);
    if (data.empty() || ec != std::errc() || end != data.data() + data.size()) return std::nullopt;
    return steps;
}

}  // namespace

std::string PumpLine(const FoundPump& p) {
    const std::optional<long> steps = Steps(p.position.data);
    return p.port + " (" + p.device + "): pump " + AddressItems[p.probe.addressIndex].item + " at " +
           BaudItems[p.probe.baudIndex].value + " baud, " + ProtocolItems[p.probe.protocolIndex].item +
           ": firmware " + (p.firmware ? "\"" + p.firmware->data + "\"" : "unknown (no answer to &)") + ", " +
           StatusText(p.position.status) + ", position " +
           (steps ? std::to_string(*steps) : "\"" + p.position.data + "\"");
}

std::string PumpJson(const FoundPump& p) {
    const std::optional<long> steps = Steps(p.position.data);
    const QJsonObject object{
        {"port", Latin1(p.port)},
        {"device", Latin1(p.device)},
        {"baud", std::stoi(BaudItems[p.probe.baudIndex].value)},
        {"protocol", ProtocolItems[p.probe.protocolIndex].item},
        {"address", AddressItems[p.probe.addressIndex].item},
        {"firmware", p.firmware ? QJsonValue(Latin1(p.firmware->data)) : QJsonValue()},
        {"statusCode", Latin1(StatusCodeText(p.position.status))},
        {"status", Latin1(StatusText(p.position.status))},
        {"position", steps ? QJsonValue(qint64(*steps)) : QJsonValue()},
        {"positionData", Latin1(p.position.data)},
    };
    return JsonLine(object);
}

ScanProgress::ScanProgress() : on_(StderrIsTerminal()) {}

void ScanProgress::show(const std::string& port, const Probe& probe, int found) {
    if (!on_) return;
    TellInPlace("scanning " + port + " at " + BaudItems[probe.baudIndex].value + " baud, " +
                ProtocolItems[probe.protocolIndex].item + ", pump " + AddressItems[probe.addressIndex].item +
                ": " + std::to_string(found) + " found");
    shown_ = true;
}

void ScanProgress::clear() {
    if (!shown_) return;
    TellInPlace("");
    shown_ = false;
}

}  // namespace zr::cli

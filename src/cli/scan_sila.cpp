#include "cli/scan_sila.h"

#include <QJsonValue>
#include <algorithm>
#include <cstdio>
#include <string>
#include <tuple>

#include "cli/exit_status.h"
#include "cli/output.h"
#include "dnssd/dnssd.h"

namespace zr::cli {

namespace {

std::string Txt(const dnssd::Found& f, const std::string& key) {
    for (const auto& [k, value] : f.txt)
        if (k == key) return value;
    return "";
}

bool HasTxt(const dnssd::Found& f, const std::string& key) {
    return std::any_of(f.txt.begin(), f.txt.end(), [&](const auto& entry) { return entry.first == key; });
}

// The CA's PEM put together from ca0, ca1, ... in that order.
std::string Ca(const dnssd::Found& f) {
    std::string pem;
    for (int i = 0; HasTxt(f, "ca" + std::to_string(i)); ++i) pem += Txt(f, "ca" + std::to_string(i));
    return pem;
}

// A text from the network as a terminal may show it: control characters as \xNN.
std::string Shown(const std::string& text) {
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f) {
            shown += c;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
        shown += escaped;
    }
    return shown;
}

std::string Where(const dnssd::Found& f) {
    const bool v6 = f.address.find(':') != std::string::npos;
    return (v6 ? "[" + f.address + "]" : f.address) + ":" + std::to_string(f.port);
}

bool Ours(const dnssd::Found& f) {
    return HasTxt(f, dnssd::PumpTxtKey) && HasTxt(f, dnssd::PortTxtKey);
}

std::string Line(const dnssd::Found& f) {
    std::string line = "\"" + Shown(Txt(f, "server_name")) + "\" UUID " + Shown(f.instanceName) + " at " +
                       Where(f) + " (" + Shown(f.hostName) + ")";
    if (Ours(f))
        line += ": pump " + Shown(Txt(f, dnssd::PumpTxtKey)) + " on " + Shown(Txt(f, dnssd::PortTxtKey));
    if (HasTxt(f, "ca0")) line += ", self-signed CA in the record";
    return line;
}

QJsonValue Utf8OrNull(const dnssd::Found& f, const std::string& key) {
    return HasTxt(f, key) ? QJsonValue(QString::fromStdString(Txt(f, key))) : QJsonValue();
}

std::string Json(const dnssd::Found& f) {
    const std::string ca = Ca(f);
    return JsonLine({
        {"name", Utf8OrNull(f, "server_name")},
        {"uuid", QString::fromStdString(f.instanceName)},
        {"host", QString::fromStdString(f.hostName)},
        {"address", QString::fromStdString(f.address)},
        {"port", f.port},
        {"version", Utf8OrNull(f, "version")},
        {"description", Utf8OrNull(f, "description")},
        {"pump", Utf8OrNull(f, dnssd::PumpTxtKey)},
        {"pumpPort", Utf8OrNull(f, dnssd::PortTxtKey)},
        {"ca", ca.empty() ? QJsonValue() : QJsonValue(QString::fromStdString(ca))},
    });
}

}  // namespace

int ScanSila(double seconds, bool json) {
    std::string error;
    std::vector<dnssd::Found> found = dnssd::Browse(seconds, error);
    if (!error.empty()) {
        Tell("scan --sila: " + error);
        if (found.empty()) return kPortFailed;
    }
    std::sort(found.begin(), found.end(), [](const dnssd::Found& a, const dnssd::Found& b) {
        return std::tie(a.instanceName, a.address) < std::tie(b.instanceName, b.address);
    });
    for (const dnssd::Found& f : found) PrintLine(json ? Json(f) : Line(f));
    if (!found.empty()) return kDone;
    Tell("scan --sila: no SiLA server is announced by DNS-SD");
    return kNoReply;
}

}  // namespace zr::cli

#pragma once

#include <functional>
#include <map>
#include <string>

#include "cli/scan_report.h"
#include "cli/scan_targets.h"
#include "sila/pump_servers.h"

namespace zr::sila {

// Finds the pumps on the ports a scan names (every port, when none is named) and serves each
// one it finds, at the next port number: once at start and again whenever asked, for the
// pumps that have come since. A port no pump of which is served yet is scanned whole; a served
// port is scanned through its queue, between exchanges, at the setting its pumps are served
// at. A pump served stays served when it goes away.
class PumpFinder {
public:
    // `stop` cuts a scan short: the program is ending.
    PumpFinder(cli::ScanTargets targets, int replyMarginMs, PumpServers& servers, std::function<bool()> stop);

    // Scans the ports side by side and serves what it found, telling on stderr what it looks
    // at, a port that cannot be opened, a pump it cannot serve, and when nothing is served.
    void find();

private:
    struct Setting {
        int baudIndex, protocolIndex;
    };
    void serveFound(const cli::ScanPort& port, std::vector<cli::FoundPump> found);

    const cli::ScanTargets targets_;
    const int marginMs_;
    PumpServers& servers_;
    const std::function<bool()> stop_;
    std::map<std::string, Setting> settings_;  // each served port's
};

}  // namespace zr::sila

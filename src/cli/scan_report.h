#pragma once

#include <optional>
#include <string>

#include "cli/scan_plan.h"
#include "link/reply_decoders.h"

namespace zr::cli {

// A pump a scan found: where, at which settings, and its answers to "?" and "&".
struct FoundPump {
    std::string port;    // "Com1", or the device as given
    std::string device;  // what the port resolves to
    Probe probe;
    ReplyParts position;
    std::optional<ReplyParts> firmware;  // none when "&" got no answer
};

// The pump as one line for people, or as one JSON object on one line.
std::string PumpLine(const FoundPump& pump);
std::string PumpJson(const FoundPump& pump);

// The scan's progress as one line on stderr, written over as the scan goes on, and only
// when stderr is a terminal: nobody reads it in a log.
class ScanProgress {
public:
    ScanProgress();
    void show(const std::string& port, const Probe& probe, int found);
    // Takes the line away, before anything else is printed.
    void clear();

private:
    bool on_;
    bool shown_ = false;
};

}  // namespace zr::cli

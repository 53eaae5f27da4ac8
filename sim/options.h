#pragma once

#include <optional>
#include <string>
#include <vector>

#include "line_faults.h"
#include "pump.h"

namespace pumpsim {

struct Options {
    std::optional<std::string> link;
    std::vector<PumpSettings> pumps{PumpSettings{}};  // the pumps on the line, by address
    bool silent = false;
    int dribbleMs = 0;
    int lateMs = 0;
    bool badChecksum = false;
    bool wireTime = false;  // bytes take their time on the wire at the line's baud rate
    LineFaults faults;
    bool help = false;     // print the usage and stop
    bool version = false;  // print the version and stop
};

// Reads the command line; on a mistake returns nullopt and says why in error.
//
// Each "--address LIST" puts a group of pumps on the line; the pump settings (--ports,
// --firmware, --baud, --protocol) that follow it are that group's, those before the first
// --address every group's. Without --address there is one pump, 1. The line's options may
// stand anywhere.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

// The address character of a list entry "1".."9", "A".."F"; 0 for anything else.
char AddressOfEntry(const std::string& entry);

extern const char* const kUsage;

}  // namespace pumpsim

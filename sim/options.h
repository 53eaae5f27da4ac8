#pragma once

#include <optional>
#include <string>
#include <vector>

#include "line_faults.h"

namespace pumpsim {

struct Options {
    std::optional<std::string> link;
    std::vector<char> addresses{'1'};  // address characters of the pumps served
    bool silent = false;
    int dribbleMs = 0;
    int lateMs = 0;
    bool badChecksum = false;
    LineFaults faults;
    int ports = 6;
    bool help = false;  // print the usage and stop
};

// Reads the command line; on a mistake returns nullopt and says why in error.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

// The address character of a list entry "1".."9", "A".."F"; 0 for anything else.
char AddressOfEntry(const std::string& entry);

extern const char* const kUsage;

}  // namespace pumpsim

#include "reply/config_reports.h"

#include <array>
#include <cmath>

#include "reply/report_pieces.h"
#include "shared/numbers.h"

namespace zr {

namespace {

// Code n selects 38400 / 2^(n - 1) baud. The exponent is formed in a wider integer so that
// every 16-bit n has one.
std::string BaudReport(int16_t n) {
    const double baud = 38400 / std::pow(2.0, static_cast<int>(n) - 1);
    return "Baud rate = " + SignedTextDouble(baud);
}

std::string OneOf(bool first, const char* ifFirst, const char* otherwise) {
    return first ? ifFirst : otherwise;
}

}  // namespace

std::string ValveTypeName(int16_t n) {
    static constexpr std::array<const char*, 12> kNames = {
        "none",
        "3-way non-distribution",
        "3-way distribution",
        "4-way non-distribution",
        "4-way distribution",
        "5-way non-distribution",
        "5-way distribution",
        "6-way non-distribution",
        "6-way distribution",
        "8-way non-distribution",
        "8-way distribution",
        "12-way distribution",
    };
    if (n < 0 || static_cast<std::size_t>(n) >= kNames.size()) return "unknown";
    return kNames[static_cast<std::size_t>(n)];
}

std::string ConfigReport(const std::string& argument, const std::string& replyData) {
    if (argument.size() != 1) return "";
    const int16_t n = ReplyNumber(replyData);
    switch (argument[0]) {
        case 'a':
        case 'A':
            return replyData == "0" ? "No autostart selected" : "Autostart program #" + replyData + "enabled";
        case 'b':
        case 'B':
            return BaudReport(n);
        case 'h':
        case 'H':
            return "SET HOME button = " + OneOf(replyData == "0", "enabled", "inhibited");
        case 'i':
        case 'I':
            return "Power-up valve initialize = " + OneOf(n == 0, "enabled", "inhibited");
        case 'l':
        case 'L':
            return "Input #3 mode = " + OneOf(replyData == "0", "normal logic", "Stop mode");
        case 'p':
        case 'P':
            return "Comm mode = " + OneOf(n == 1, "DT  (Data Terminal)", "OEM");
        case 's':
        case 'S':
            return "Expansion I/O mode = " + OneOf(replyData == "1", "1-byte", "2-byte");
        case 'v':
        case 'V':
            return "valve type = " + ValveTypeName(n);
        case 'y':
        case 'Y':
            return "Y4 initialize valve port = " + PortLetter(n);
        case 'z':
        case 'Z':
            return "Z4 initialize valve port = " + PortLetter(n);
        default:
            return "";
    }
}

}  // namespace zr

#include "options.h"

#include <algorithm>
#include <charconv>

namespace pumpsim {

const char* const kUsage =
    "usage: pumpsim [--help] [--version] [--link PATH] [LINE OPTIONS] [PUMP SETTINGS] [--address LIST [PUMP "
    "SETTINGS]]...\n"
    "Plays pumps on a pseudo-terminal, linked as PATH when given (e.g. the program's COM1).\n"
    "Pumps: each --address LIST puts pumps on the line, e.g. 1,2,A (entries 1..9 and A..F;\n"
    "default one pump, 1). The settings after an --address are its pumps', those before the\n"
    "first --address every pump's:\n"
    "  --ports N        valves with N ports: 3, 4, 5, 6, 8 or 12 (default 6)\n"
    "  --firmware TEXT  the answer to \"&\" (default \"pumpsim 1.0\")\n"
    "  --baud B         hear only frames sent at B baud: 1200, 2400, 4800, 9600, 19200 or 38400\n"
    "                   (default: every rate)\n"
    "  --protocol P     speak only DT or OEM (default: both)\n"
    "  e.g. pumpsim --address B --baud 38400 --protocol OEM --address 1,2 --baud 9600\n"
    "Line options:\n"
    "  --silent         read requests, never answer\n"
    "  --wire-time      requests and replies take their time on the wire at the line's baud\n"
    "                   rate (10 bits a byte)\n"
    "  --dribble MS     send replies a byte every MS milliseconds\n"
    "  --bad-checksum   spoil the checksum of OEM replies\n"
    "  --late MS        answer MS milliseconds late\n"
    "  --noise WHERE    garbage before or inside each reply\n"
    "  --long N         lengthen each reply's data by N characters\n"
    "  --cut N          send only the first N bytes of each reply\n";

char AddressOfEntry(const std::string& entry) {
    if (entry.size() != 1) return 0;
    const char c = entry[0];
    if (c >= '1' && c <= '9') return c;
    if (c >= 'A' && c <= 'F') return static_cast<char>(':' + (c - 'A'));
    return 0;
}

namespace {

std::optional<int> Count(const std::string& text, int most) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0 || value > most)
        return std::nullopt;
    return value;
}

std::optional<std::vector<char>> AddressList(const std::string& list) {
    std::vector<char> addresses;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const char a = AddressOfEntry(list.substr(start, comma - start));
        if (a == 0) return std::nullopt;
        if (std::find(addresses.begin(), addresses.end(), a) == addresses.end()) addresses.push_back(a);
        start = comma + 1;
    }
    return addresses;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

bool IsPumpSetting(const std::string& a) {
    return a == "--ports" || a == "--firmware" || a == "--baud" || a == "--protocol";
}

bool IsLineValue(const std::string& a) {
    return a == "--link" || a == "--dribble" || a == "--late" || a == "--noise" || a == "--long" ||
           a == "--cut";
}

// Each setter takes the option's value and returns "" or what is wrong with the value.
std::string SetPump(const std::string& a, const std::string& v, PumpSettings& p) {
    if (a == "--firmware") {
        p.firmware = v;
    } else if (a == "--ports") {
        if (v != "3" && v != "4" && v != "5" && v != "6" && v != "8" && v != "12")
            return "--ports takes 3, 4, 5, 6, 8 or 12, not " + Quoted(v);
        p.ports = std::stoi(v);
    } else if (a == "--baud") {
        if (v != "1200" && v != "2400" && v != "4800" && v != "9600" && v != "19200" && v != "38400")
            return "--baud takes 1200, 2400, 4800, 9600, 19200 or 38400, not " + Quoted(v);
        p.baud = std::stoi(v);
    } else if (v == "DT" || v == "OEM") {
        p.protocol = v == "DT" ? Framing::DT : Framing::OEM;
    } else {
        return "--protocol takes DT or OEM, not " + Quoted(v);
    }
    return "";
}

std::string SetLine(const std::string& a, const std::string& v, Options& o) {
    if (a == "--link") {
        o.link = v;
    } else if (a == "--dribble" || a == "--late") {
        const auto ms = Count(v, 60000);
        if (!ms) return a + " takes milliseconds 0..60000, not " + Quoted(v);
        (a == "--late" ? o.lateMs : o.dribbleMs) = *ms;
    } else if (a == "--long") {
        const auto n = Count(v, 100000);
        if (!n) return "--long takes a count of characters 0..100000, not " + Quoted(v);
        o.faults.longerBy = *n;
    } else if (a == "--cut") {
        const auto n = Count(v, 100000);
        if (!n) return "--cut takes a count of bytes 0..100000, not " + Quoted(v);
        o.faults.cutTo = *n;
    } else if (v == "before" || v == "inside") {
        o.faults.noise = v == "before" ? LineFaults::Noise::Before : LineFaults::Noise::Inside;
    } else {
        return "--noise takes before or inside, not " + Quoted(v);
    }
    return "";
}

bool SetFlag(const std::string& a, Options& o) {
    bool* flag = a == "--help" || a == "-h" ? &o.help
                 : a == "--version"         ? &o.version
                 : a == "--silent"          ? &o.silent
                 : a == "--bad-checksum"    ? &o.badChecksum
                 : a == "--wire-time"       ? &o.wireTime
                                            : nullptr;
    if (flag != nullptr) *flag = true;
    return flag != nullptr;
}

struct Group {
    std::vector<char> addresses;
    PumpSettings settings;
};

// The pumps of the groups, each address once.
std::string Expand(const std::vector<Group>& groups, std::vector<PumpSettings>& pumps) {
    pumps.clear();
    for (const Group& g : groups) {
        for (char a : g.addresses) {
            const bool twice = std::any_of(pumps.begin(), pumps.end(),
                                           [a](const PumpSettings& p) { return p.address == a; });
            if (twice) {
                const char entry = a > '9' ? static_cast<char>('A' + (a - ':')) : a;
                return "pump " + std::string(1, entry) + " is given in two --address lists";
            }
            pumps.push_back(g.settings);
            pumps.back().address = a;
        }
    }
    return "";
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    error.clear();
    Options o;
    PumpSettings every;
    std::vector<Group> groups;
    for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
        const std::string& a = args[i];
        if (SetFlag(a, o)) continue;
        if (a != "--address" && !IsPumpSetting(a) && !IsLineValue(a)) {
            error = "unknown option " + Quoted(a);
        } else if (i + 1 == args.size()) {
            error = a + " needs a value";
        } else if (const std::string& v = args[++i]; a == "--address") {
            const auto list = AddressList(v);
            if (!list) error = "--address takes entries 1..9 and A..F separated by commas, not " + Quoted(v);
            if (list) groups.push_back(Group{*list, every});
        } else {
            error = IsLineValue(a) ? SetLine(a, v, o)
                                   : SetPump(a, v, groups.empty() ? every : groups.back().settings);
        }
    }
    if (error.empty() && groups.empty()) groups.push_back(Group{{'1'}, every});
    if (error.empty()) error = Expand(groups, o.pumps);
    if (!error.empty()) return std::nullopt;
    return o;
}

}  // namespace pumpsim

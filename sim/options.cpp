#include "options.h"

#include <algorithm>
#include <charconv>

namespace pumpsim {

const char* const kUsage =
    "usage: pumpsim [--help] [--link PATH] [--address LIST] [--silent] [--dribble MS] [--bad-checksum]\n"
    "               [--late MS] [--ports 3|4|5|6|8|12] [--noise before|inside] [--long N]\n"
    "Plays pumps on a pseudo-terminal, linked as PATH when given (e.g. the program's COM1).\n"
    "  --address LIST  pumps on the line, e.g. 1,2,A (entries 1..9 and A..F; default 1)\n"
    "  --silent        read requests, never answer\n"
    "  --dribble MS    send replies a byte every MS milliseconds\n"
    "  --bad-checksum  spoil the checksum of OEM replies\n"
    "  --late MS       answer MS milliseconds late\n"
    "  --ports N       valves with N ports (default 6)\n"
    "  --noise WHERE   garbage before or inside each reply\n"
    "  --long N        lengthen each reply's data by N characters\n";

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

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        auto value = [&]() -> const std::string& { return args[++i]; };
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--silent") {
            o.silent = true;
        } else if (a == "--bad-checksum") {
            o.badChecksum = true;
        } else if (!hasValue && (a == "--link" || a == "--address" || a == "--dribble" || a == "--late" ||
                                 a == "--ports" || a == "--noise" || a == "--long")) {
            error = a + " needs a value";
            return std::nullopt;
        } else if (a == "--link") {
            o.link = value();
        } else if (a == "--address") {
            auto list = AddressList(value());
            if (!list) {
                error = "--address takes entries 1..9 and A..F separated by commas, not \"" + args[i] + "\"";
                return std::nullopt;
            }
            o.addresses = *list;
        } else if (a == "--dribble" || a == "--late") {
            auto ms = Count(value(), 60000);
            if (!ms) {
                error = a + " takes milliseconds 0..60000, not \"" + args[i] + "\"";
                return std::nullopt;
            }
            (a == "--late" ? o.lateMs : o.dribbleMs) = *ms;
        } else if (a == "--ports") {
            const std::string& n = value();
            if (n != "3" && n != "4" && n != "5" && n != "6" && n != "8" && n != "12") {
                error = "--ports takes 3, 4, 5, 6, 8 or 12, not \"" + n + "\"";
                return std::nullopt;
            }
            o.ports = std::stoi(n);
        } else if (a == "--noise") {
            const std::string& where = value();
            if (where != "before" && where != "inside") {
                error = "--noise takes before or inside, not \"" + where + "\"";
                return std::nullopt;
            }
            o.faults.noise = where == "before" ? LineFaults::Noise::Before : LineFaults::Noise::Inside;
        } else if (a == "--long") {
            auto n = Count(value(), 100000);
            if (!n) {
                error = "--long takes a count of characters 0..100000, not \"" + args[i] + "\"";
                return std::nullopt;
            }
            o.faults.longerBy = *n;
        } else {
            error = "unknown option \"" + a + "\"";
            return std::nullopt;
        }
    }
    return o;
}

}  // namespace pumpsim

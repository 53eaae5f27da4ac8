#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace zr::cli {

// One probe of a scan: a baud rate and a protocol (indices into the window's lists) and a
// single pump's address (index 0..14 of the window's list: pumps 1 to F).
struct Probe {
    int baudIndex = 0;
    int protocolIndex = 0;
    int addressIndex = 0;
};

// The order in which a scan probes one port, each probe once. The window's defaults come
// first (9600, DT, pump 1); then pump 1 at every other setting: 9600 before the rest of the
// window's baud list in its order, DT before OEM; then the other pumps, setting by setting in
// the same order. Once a setting has answered, the pumps not yet probed there come before
// anything else: pumps on one line usually share their settings.
class ScanPlan {
public:
    // The baud rates and protocols to try, as indices into the window's lists, in any order.
    ScanPlan(std::vector<int> baudIndices, std::vector<int> protocolIndices);

    // The next probe; nullopt when every one has been made.
    std::optional<Probe> next();
    // The probe found a pump.
    void answered(const Probe& probe);

private:
    static constexpr int kPumps = 15;
    struct Setting {
        int baudIndex;
        int protocolIndex;
        std::array<bool, kPumps> probed{};
        bool answered = false;
    };
    static std::optional<Probe> take(Setting& s, int addressIndex);
    // The first pump not yet probed at the setting.
    static std::optional<Probe> rest(Setting& s);

    std::vector<Setting> settings_;
};

// How long one character takes on the line at `baud`: a start bit, 8 data bits, a stop bit.
double CharacterSeconds(int baud);

// How long a probe at `baud` waits after writing a request of `requestLength` characters,
// for a pump whose first byte may come `margin` seconds late: `firstByte` after the request,
// for the request and a reply's first character to cross the line, the margin and a little for
// the computer to pass the byte on; once a byte has come, `wholeReply` after it, for the rest of
// the longest reply expected. Seconds, on top of the line's own delay.
struct ProbeWaits {
    double firstByte;
    double wholeReply;
};
ProbeWaits WaitsFor(int baud, std::size_t requestLength, double margin);

}  // namespace zr::cli

#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "frame.h"
#include "pump.h"

namespace pumpsim {

// The pumps on one line, by address character ("1".."9" and ":".."?").
//
// A pump hears a frame only when it came at the pump's baud rate and in its protocol, as a
// pump jumpered for other settings would read nothing but garbage. A frame for a pump that
// hears it gets that pump's reply in the frame's framing. A group address ("A" for pumps 1 and
// 2 ... "Q" for 1 to 4 ... "_" for all) reaches every member that hears it and gets no reply.
// Other addresses, and OEM frames whose checksum is wrong, are ignored.
class Bus {
public:
    explicit Bus(const std::vector<PumpSettings>& pumps);

    // baud: the line's rate when the frame came.
    std::optional<std::string> Answer(const Frame& frame, double now, int baud, bool corruptChecksum = false);

    // The members of a group address; empty for any other character.
    static std::vector<char> GroupMembers(char address);

private:
    struct Station {
        PumpSettings settings;
        Pump pump;
        bool Hears(const Frame& frame, int baud) const;
    };
    std::map<char, Station> stations_;
};

}  // namespace pumpsim

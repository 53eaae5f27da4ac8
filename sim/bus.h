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
// A frame for a served pump gets that pump's reply in the frame's framing. A group address
// ("A" for pumps 1 and 2 ... "Q" for 1 to 4 ... "_" for all) reaches every served member and
// gets no reply. Other addresses, and OEM frames whose checksum is wrong, are ignored.
class Bus {
public:
    Bus(const std::vector<char>& addresses, int ports);

    std::optional<std::string> Answer(const Frame& frame, double now, bool corruptChecksum = false);

    // The members of a group address; empty for any other character.
    static std::vector<char> GroupMembers(char address);

private:
    std::map<char, Pump> pumps_;
};

}  // namespace pumpsim

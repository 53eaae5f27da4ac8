#pragma once

#include <string>

namespace pumpsim {

// The two framings a request can arrive in; a reply goes back in the same one.
enum class Framing { DT, OEM };

// One request taken off the line.
struct Frame {
    Framing framing = Framing::DT;
    char address = 0;
    std::string command;     // the command text between the header and the terminator
    bool checksumOk = true;  // always true for DT, which carries no checksum
    std::string raw;         // every byte of the frame as it arrived
};

}  // namespace pumpsim

#pragma once

#include <string>
#include <string_view>

#include "frame.h"

namespace pumpsim {

// A pump's answer before it is framed: one status character and the data.
struct Reply {
    char status = '`';
    std::string data;
};

// The reply bytes, n = data length + 7 in both framings.
//
// DT:  "/" "0" status data ETX CR LF 0xFF
//      Positions 1-2 address the host, 3 is the status, 4..n-4 the data; the tail ends the
//      line (ETX CR LF) and the idle byte 0xFF pads it to the four bytes a reader drops.
// OEM: 0xFF STX "0" status data ETX checksum 0xFF
//      Status at 4, data 5..n-3, checksum at n-1: the XOR of STX through ETX, which equals
//      code(status) XOR xor(data) XOR 0x31. The trailing 0xFF is the idle byte.
// A corrupted checksum is the right one with every bit flipped.
std::string EncodeReply(Framing framing, const Reply& reply, bool corruptChecksum = false);

}  // namespace pumpsim

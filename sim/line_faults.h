#pragma once

#include <string>

#include "frame.h"

namespace pumpsim {

// Faults of the line between the pumps and the host, put on a framed reply on its way out.
struct LineFaults {
    enum class Noise { None, Before, Inside };
    Noise noise = Noise::None;  // kNoise in front of the reply, or right after its status
    int longerBy = 0;           // filler characters that lengthen the data field
    int cutTo = -1;             // a reply longer than this many bytes loses the rest; -1: none
};

// The bytes a glitch on the line leaves.
inline constexpr char kNoise[] = "\x00\xFE";

// The reply as the host receives it over a faulty line. The filler ("0123456789" over and
// over) goes at the front of the data, with the OEM checksum made to cover it; noise is
// noise, so the checksum does not. A cut comes last, as a line that drops out would make it.
std::string Distort(std::string reply, Framing framing, const LineFaults& faults);

}  // namespace pumpsim

#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "frame.h"

namespace pumpsim {

// Cuts requests out of a byte stream fed in arbitrary chunks.
//
// DT:  "/" address command CR
// OEM: 0xFF 0x02 address sequence command 0x03 checksum
//      (the checksum is the XOR of every byte from 0x02 to 0x03)
//
// Bytes outside a frame are skipped. A "/" or 0xFF inside an unfinished DT frame, or 0xFF
// inside the command of an OEM frame, abandons it and starts a new one, so that a frame cut
// short by a client that went away does not swallow the next one; so does a pause of more than
// kPartialFrameLife seconds inside a frame (garbage such as a lone FF 02). Frames longer than
// kMaxFrame bytes are dropped.
class FrameParser {
public:
    static constexpr std::size_t kMaxFrame = 512;
    static constexpr double kPartialFrameLife = 0.1;

    // Bytes that arrived at `now` (seconds on any steady clock).
    void Feed(std::string_view bytes, double now = 0);
    // The next complete frame, in arrival order.
    std::optional<Frame> Next();

private:
    enum class State { Idle, DtAddress, DtBody, OemStart, OemAddress, OemSequence, OemBody, OemChecksum };

    void Step(char byte);
    void Begin(char byte);
    void Finish(bool checksumOk);

    State state_ = State::Idle;
    double lastByte_ = 0;
    Frame current_;
    std::deque<Frame> ready_;
};

// XOR of the byte codes of a text.
unsigned char XorOf(std::string_view bytes);

}  // namespace pumpsim

#pragma once

#include "bus.h"
#include "frame_parser.h"
#include "options.h"
#include "outgoing.h"

namespace pumpsim {

// Serves the bus on the master side of the line until the stop descriptor becomes readable.
// Logs every request ("rx", with the baud rate it came at) and every reply once it is on the
// line ("tx") to stdout. With wire time, a reply starts when the request's bytes and its own
// first byte would have crossed the line, and goes out a byte at a time at the line's rate.
class LineServer {
public:
    LineServer(const Options& options, int master, int stop);
    void Run();

private:
    void Receive(double now);
    void Log(const char* direction, const std::string& bytes, const std::string& note = "");
    // Seconds a byte takes on the line at this rate: a start bit, 8 data bits, a stop bit.
    double ByteSeconds(int baud) const;

    Options options_;
    int master_;
    int stop_;
    FrameParser parser_;
    Bus bus_;
    Outgoing outgoing_;
    double quietUntil_ = 0;  // after a hang-up the master is left alone until then
};

}  // namespace pumpsim

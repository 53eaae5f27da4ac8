#pragma once

#include "bus.h"
#include "frame_parser.h"
#include "options.h"
#include "outgoing.h"

namespace pumpsim {

// Serves the bus on the master side of the line until the stop descriptor becomes readable.
// Logs every request ("rx") and every reply once it is on the line ("tx") to stdout.
class LineServer {
public:
    LineServer(const Options& options, int master, int stop);
    void Run();

private:
    void Receive(double now);
    void Log(const char* direction, const std::string& bytes);

    Options options_;
    int master_;
    int stop_;
    FrameParser parser_;
    Bus bus_;
    Outgoing outgoing_;
    double quietUntil_ = 0;  // after a hang-up the master is left alone until then
};

}  // namespace pumpsim

#pragma once

#include <QtGlobal>
#include <string>

#include "platform/line/line_settings.h"

namespace zr {

// What a line is opened with: its line settings and the modem lines.
struct LineOptions {
    std::string text;  // the line settings as given, e.g. "9600,n,8,1"
    LineSettings line;
    int handshaking = 0;  // 0: no flow control, 1: XON/XOFF, 2 and 3: RTS/CTS
    bool dtr = false;
    bool rts = false;
};

// One opened line to the pumps, whatever carries it. Works without a running event loop:
// the count of waiting bytes first takes in what has arrived, and a write goes out at once.
class Line {
public:
    virtual ~Line() = default;

    // Opens the line to `target` (a device, a network address); "" when it is open, else why
    // not, in the operator's words ("no such device").
    virtual std::string open(const std::string& target, const LineOptions& options) = 0;
    // Open, and the far end has not gone away.
    virtual bool isOpen() const = 0;
    virtual void write(const std::string& bytes) = 0;
    // How many received bytes wait; what arrived before the far end went away still counts.
    virtual qint64 available() = 0;
    // Waits until a received byte waits or `milliseconds` have passed; true when one waits.
    virtual bool waitForInput(int milliseconds) = 0;
    // Takes up to `most` waiting bytes (every one when `most` is 0).
    virtual std::string read(qint64 most) = 0;
    // Why the far end went away, when it did and the line can tell; "" otherwise.
    virtual std::string goneReason() const { return {}; }
    // How long the line itself delays a reply (a network's round trip), in seconds.
    virtual double replyDelay() const { return 0; }
};

}  // namespace zr

#pragma once

#include <cstdint>
#include <string>

namespace zr {

// The serial line to the pumps, as the module uses it: a port number and line settings
// chosen before opening, one write per frame, a count of received bytes and one read of them.
// Strings carry one byte per character, unchanged in both directions.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    virtual bool portOpen() const = 0;
    // True when the port is closed or its device has gone away (unplugged, the far end closed)
    // since it was opened: what was being received may be cut off. Unlike portOpen(), a port
    // whose number now stands for another device has not lost its line.
    virtual bool lineLost() const = 0;
    // Opens (true) or closes (false). Opening can fail: portOpen() then stays false and
    // openError() says which port, which device, why and what to do; a number outside 1..4
    // is told as "Com<number> is not a port: ...". A line that went away while open reads as
    // closed; openError() then says why where the line can tell ("" where it cannot).
    virtual void setPortOpen(bool open) = 0;
    virtual std::string openError() const = 0;
    // What port `number` (1 = COM1 ... 4 = COM4) stands for now, as the operator knows it:
    // the device, and the link that names it where there is one ("/dev/ttyUSB0",
    // "/opt/zr/COM1 -> /dev/pts/5"); "" when it stands for no device.
    virtual std::string deviceOf(int16_t number) const = 0;

    virtual void setCommPort(int16_t number) = 0;               // 1 = COM1 ... 4 = COM4
    virtual void setSettings(const std::string& settings) = 0;  // e.g. "9600,n,8,1"
    virtual void setHandshaking(int mode) = 0;                  // 0: no flow control
    virtual void setInputLen(int length) = 0;                   // 0: input() returns everything waiting
    virtual void setDTREnable(bool on) = 0;
    virtual void setInputMode(int mode) = 0;  // 0: text, one character per byte
    virtual void setRTSEnable(bool on) = 0;
    virtual void setSThreshold(int threshold) = 0;  // 0: no transmit events

    virtual void output(const std::string& bytes) = 0;
    virtual int16_t inBufferCount() = 0;
    // Waits until a received byte is waiting or `seconds` have passed, whichever comes first,
    // without letting window events run; true when a byte is waiting.
    virtual bool waitForInput(double seconds) = 0;
    virtual std::string input() = 0;
    // How long the line itself holds a reply back on top of the pump's time (a network's round
    // trip), in seconds; 0 for a device.
    virtual double replyDelay() const { return 0; }
};

}  // namespace zr

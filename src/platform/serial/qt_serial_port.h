#pragma once

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/line/line.h"
#include "platform/serial/port_device.h"
#include "shared/serial_port.h"

namespace zr {

// The module's serial line: resolves COMn to what it stands for and opens a line there. Works
// without a running event loop. A line whose far end has gone away reads as a closed port, so
// that the next opening starts afresh; what it had delivered stays readable until then. A port
// whose COMn now stands for another device (a link changed, an adapter plugged in before it)
// reads as closed too, so that the next opening looks at the new device: it is told once and
// then used, or refused while the link or adapter that gave the port is gone (CheckComChange).
class QtSerialPort : public SerialPort {
public:
    // COMn links are looked up in programDir (the folder that holds the program); without one,
    // COMn is the n-th of the ports that `ports` lists. A listing holds while `stamp` stays the
    // same (no device came or went).
    explicit QtSerialPort(const QString& programDir, PortLister ports = ListSerialPorts,
                          std::function<std::optional<std::int64_t>()> stamp = DevicesStamp);
    ~QtSerialPort() override;

    bool portOpen() const override;
    bool lineLost() const override;
    void setPortOpen(bool open) override;
    std::string openError() const override;
    std::string deviceOf(int16_t number) const override;

    void setCommPort(int16_t number) override { commPort_ = number; }
    void setSettings(const std::string& settings) override { settings_ = settings; }
    void setHandshaking(int mode) override { handshaking_ = mode; }
    void setInputLen(int length) override { inputLen_ = length; }
    void setDTREnable(bool on) override { dtr_ = on; }
    void setInputMode(int) override {}  // text and binary both carry one byte per character
    void setRTSEnable(bool on) override { rts_ = on; }
    void setSThreshold(int) override {}  // no transmit events are raised

    void output(const std::string& bytes) override;
    int16_t inBufferCount() override;
    bool waitForInput(double seconds) override;
    std::string input() override;
    double replyDelay() const override;

    // What port `number` stands for and in what state, in a few lines for the operator.
    std::string describe(int16_t number) const;
    // What port `number` stands for now: the device it opens, or why it stands for none.
    ComDevice resolve(int16_t number) const;

    // From now on port `number` stands for the device `path`, whatever COMn would otherwise
    // name: for a program given the device to use by its caller.
    void setDevice(int16_t number, const std::string& path);

    // The operator chose port `number` again: from now on it stands for whatever it stands for
    // now, without a word about what it stood for before.
    void choosePort(int16_t number);

private:
    struct Listing {
        std::optional<std::int64_t> stamp;
        std::vector<SerialPortEntry> ports;
    };

    std::vector<SerialPortEntry> listedPorts() const;
    void open();
    ComChange changeOf(const ComDevice& device) const;

    std::string programDir_;
    PortLister ports_;
    std::function<std::optional<std::int64_t>()> stamp_;
    std::unique_ptr<Line> line_;  // the open line; none while the port is closed
    int16_t commPort_ = 1;
    std::string settings_ = "9600,n,8,1";
    int handshaking_ = 0;
    int inputLen_ = 0;
    bool dtr_ = false;
    bool rts_ = false;
    std::string openError_;
    std::string openedPath_;                  // what the open line is on
    std::string openedShown_;                 // and how the operator knows it
    int16_t openedPort_ = 0;                  // the port number it was opened as
    mutable std::optional<Listing> listing_;  // the last listing of the ports, while it holds
    int16_t givenPort_ = 0;                   // the port number setDevice gave a device to; 0 when none
    std::string givenDevice_;
    std::array<std::optional<ComDevice>, 5> used_;  // what each port stood for when last opened
};

}  // namespace zr

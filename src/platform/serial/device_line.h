#pragma once

#include <QSerialPort>

#include "platform/line/line.h"

namespace zr {

// A line on a serial device, over QSerialPort. A device that has hung up reads as closed at
// once; what it had delivered stays readable until the event loop runs, which closes it. A
// write the device does not take whole in time (or that fails) drops what it left unsent, so
// that no stale bytes go out with a later frame, and the line reads as gone, telling why.
class DeviceLine : public Line {
public:
    DeviceLine();

    std::string open(const std::string& path, const LineOptions& options) override;
    bool isOpen() const override;
    void write(const std::string& bytes) override;
    qint64 available() override;
    bool waitForInput(int milliseconds) override;
    std::string read(qint64 most) override;
    std::string goneReason() const override { return writeFault_; }

private:
    void takeInPending();
    bool deviceGone() const;
    void closeWhenGone(QSerialPort::SerialPortError error);

    QSerialPort port_;
    bool closePending_ = false;
    std::string writeFault_;  // why the last write did not go out whole
};

}  // namespace zr

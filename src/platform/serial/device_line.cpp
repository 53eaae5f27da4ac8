#include "platform/serial/device_line.h"

#include <QDeadlineTimer>
#include <utility>

#include "platform/serial/port_device.h"

namespace zr {

namespace {

// Bounds the taking-in of pending bytes when the far end never stops sending.
constexpr int kMaxReadsPerCount = 64;
// How long a write may wait for the device to take bytes its buffer had no room for.
constexpr int kWriteWaitMs = 500;

QSerialPort::FlowControl FlowControlOf(int handshaking) {
    switch (handshaking) {
        case 1:
            return QSerialPort::SoftwareControl;
        case 2:
        case 3:
            return QSerialPort::HardwareControl;
        default:
            return QSerialPort::NoFlowControl;
    }
}

// The reason an opening failed, in the operator's words. On Unix a permission problem has been
// ruled out before trying, so a refusal means another program holds the device's lock; on
// Windows an access refusal means another program has the port.
std::string ReasonOf(QSerialPort::SerialPortError error, const QString& text, const std::string& device) {
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return kNoSuchDevice;
        case QSerialPort::PermissionError: {
            const DeviceHolder holder = HolderOf(device);
            if (holder.pid == 0) return "busy, in use by another program";
            return "busy, in use by " + holder.name + " (process " + std::to_string(holder.pid) + ")";
        }
        default: {
            QString reason = text;
            if (!reason.isEmpty()) reason[0] = reason[0].toLower();
            return reason.toStdString();
        }
    }
}

bool ApplyLine(QSerialPort& port, const LineOptions& options) {
    const LineSettings& line = options.line;
    return port.setBaudRate(line.baud) && port.setParity(line.parity) && port.setDataBits(line.dataBits) &&
           port.setStopBits(line.stopBits) && port.setFlowControl(FlowControlOf(options.handshaking));
}

}  // namespace

DeviceLine::DeviceLine() {
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError error) { closeWhenGone(error); });
}

std::string DeviceLine::open(const std::string& path, const LineOptions& options) {
    if (std::string problem = DeviceProblem(path); !problem.empty()) return problem;
    port_.setPortName(QString::fromStdString(path));
    if (!port_.open(QIODevice::ReadWrite)) {
        std::string reason = ReasonOf(port_.error(), port_.errorString(), path);
        port_.clearError();
        return reason;
    }
    if (!ApplyLine(port_, options)) {
        port_.close();
        port_.clearError();
        return "the device does not take the line settings \"" + options.text + "\"";
    }
    // A pseudo-terminal has no modem lines; failing to set them there is no fault.
    port_.setDataTerminalReady(options.dtr);
    port_.setRequestToSend(options.rts);
    port_.clearError();
    return {};
}

bool DeviceLine::isOpen() const {
    return port_.isOpen() && !deviceGone() && writeFault_.empty();
}

// A read on a device that hung up fails at once, every time: left open, the port's read
// notifier would try again and again while the event loop runs. The port is closed from the
// event loop, never inside the serial port's own call that reported the error.
void DeviceLine::closeWhenGone(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError) return;
    if (std::exchange(closePending_, true)) return;
    QMetaObject::invokeMethod(
        &port_,
        [this] {
            closePending_ = false;
            if (port_.isOpen() && deviceGone()) port_.close();
        },
        Qt::QueuedConnection);
}

bool DeviceLine::deviceGone() const {
    return port_.error() == QSerialPort::ResourceError || DeviceHungUp(port_.handle());
}

// QSerialPort keeps what the device's buffer had no room for and sends it as room comes: a
// frame the device does not take whole within the wait is dropped, its rest from QSerialPort
// and from the driver's buffer, instead of going out ahead of the next exchange's frame.
void DeviceLine::write(const std::string& bytes) {
    if (!port_.isOpen() || !writeFault_.empty()) return;
    const auto size = static_cast<qint64>(bytes.size());
    const bool taken = port_.write(bytes.data(), size) == size;
    port_.flush();
    QDeadlineTimer deadline(kWriteWaitMs);
    while (taken && port_.bytesToWrite() > 0 && !deviceGone() && !deadline.hasExpired())
        if (!port_.waitForBytesWritten(int(deadline.remainingTime()))) break;
    const bool failed = !taken || port_.error() == QSerialPort::WriteError;
    if (deviceGone() || (!failed && port_.bytesToWrite() == 0)) return;
    if (failed)
        writeFault_ = "writing to the device failed (" + port_.errorString().toStdString() + ")";
    else
        writeFault_ = "the device took " + std::to_string(size - port_.bytesToWrite()) + " of the " +
                      std::to_string(size) + " bytes sent within " +
                      QString::number(kWriteWaitMs / 1000.0).toStdString() + " s";
    writeFault_ +=
        ", and the rest was dropped: check the cable and the handshaking (a device that is not "
        "ready holds the line); the next Send opens the port again";
    port_.clear(QSerialPort::Output);
    port_.clearError();
}

void DeviceLine::takeInPending() {
    for (int i = 0; i < kMaxReadsPerCount && port_.waitForReadyRead(0); ++i) {
    }
}

qint64 DeviceLine::available() {
    if (!port_.isOpen()) return 0;
    takeInPending();
    return port_.bytesAvailable();
}

// QSerialPort's blocking wait polls the device itself; no window event runs meanwhile.
bool DeviceLine::waitForInput(int milliseconds) {
    if (!port_.isOpen()) return false;
    if (port_.bytesAvailable() > 0) return true;
    return port_.waitForReadyRead(milliseconds) && port_.bytesAvailable() > 0;
}

std::string DeviceLine::read(qint64 most) {
    if (!port_.isOpen()) return {};
    takeInPending();
    const QByteArray bytes = most > 0 ? port_.read(most) : port_.readAll();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace zr

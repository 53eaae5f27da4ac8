#include "platform/qt_serial_port.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/line_settings.h"
#include "platform/port_device.h"

namespace zr {

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 4;
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
std::string ReasonOf(QSerialPort::SerialPortError error, const QString& text) {
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return "no such device";
        case QSerialPort::PermissionError:
            return "busy, in use by another program";
        default: {
            QString reason = text;
            if (!reason.isEmpty()) reason[0] = reason[0].toLower();
            return reason.toStdString();
        }
    }
}

bool ApplyLine(QSerialPort& port, const LineSettings& line, int handshaking) {
    return port.setBaudRate(line.baud) && port.setParity(line.parity) && port.setDataBits(line.dataBits) &&
           port.setStopBits(line.stopBits) && port.setFlowControl(FlowControlOf(handshaking));
}

}  // namespace

QtSerialPort::QtSerialPort(QString programDir) : programDir_(std::move(programDir)) {}

bool QtSerialPort::portOpen() const {
    return port_.isOpen() && !deviceGone();
}

bool QtSerialPort::deviceGone() const {
    return port_.error() == QSerialPort::ResourceError || DeviceHungUp(port_.handle());
}

void QtSerialPort::setPortOpen(bool open) {
    if (open && portOpen()) return;
    if (port_.isOpen()) port_.close();
    port_.clearError();
    if (open) this->open();
}

std::string QtSerialPort::deviceOf(int16_t number) const {
    if (number < kFirstPort || number > kLastPort) return {};
    return ComPortDevice(number, programDir_).shown;
}

void QtSerialPort::open() {
    openError_.clear();
    const std::string name = "Com" + std::to_string(commPort_);
    if (commPort_ < kFirstPort || commPort_ > kLastPort) {
        openError_ = name + " is not a port: choose Com1 to Com4";
        return;
    }
    const PortDevice device = ComPortDevice(commPort_, programDir_);
    const auto fail = [&](const std::string& reason) {
        openError_ = "Cannot open " + name + " (" + device.shown + "): " + reason;
    };
    const auto line = ParseLineSettings(settings_);
    if (!line) return fail("line settings \"" + settings_ + "\" not understood");
    if (const std::string problem = DeviceProblem(device); !problem.empty()) return fail(problem);

    port_.setPortName(device.path);
    if (!port_.open(QIODevice::ReadWrite)) {
        fail(ReasonOf(port_.error(), port_.errorString()));
        port_.clearError();
        return;
    }
    if (!ApplyLine(port_, *line, handshaking_)) {
        fail("the device does not take the line settings \"" + settings_ + "\"");
        port_.close();
        port_.clearError();
        return;
    }
    // A pseudo-terminal has no modem lines; failing to set them there is no fault.
    port_.setDataTerminalReady(dtr_);
    port_.setRequestToSend(rts_);
    port_.clearError();
}

void QtSerialPort::output(const std::string& bytes) {
    if (!port_.isOpen()) return;
    port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    port_.flush();
    if (port_.bytesToWrite() > 0 && !deviceGone()) port_.waitForBytesWritten(kWriteWaitMs);
}

void QtSerialPort::takeInPending() {
    for (int i = 0; i < kMaxReadsPerCount && port_.waitForReadyRead(0); ++i) {
    }
}

int16_t QtSerialPort::inBufferCount() {
    if (!port_.isOpen()) return 0;
    takeInPending();
    return static_cast<int16_t>(
        std::min<qint64>(port_.bytesAvailable(), std::numeric_limits<int16_t>::max()));
}

std::string QtSerialPort::input() {
    if (!port_.isOpen()) return {};
    takeInPending();
    const QByteArray bytes = inputLen_ > 0 ? port_.read(inputLen_) : port_.readAll();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace zr

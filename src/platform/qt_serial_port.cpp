#include "platform/qt_serial_port.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/line_settings.h"
#include "platform/port_description.h"

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

bool ApplyLine(QSerialPort& port, const LineSettings& line, int handshaking) {
    return port.setBaudRate(line.baud) && port.setParity(line.parity) && port.setDataBits(line.dataBits) &&
           port.setStopBits(line.stopBits) && port.setFlowControl(FlowControlOf(handshaking));
}

}  // namespace

QtSerialPort::QtSerialPort(const QString& programDir, PortLister ports)
    : programDir_(programDir.toStdString()), ports_(std::move(ports)) {
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError error) { closeWhenGone(error); });
}

bool QtSerialPort::portOpen() const {
    return port_.isOpen() && !deviceGone() && resolve(openedPort_).path == openedPath_;
}

ComDevice QtSerialPort::resolve(int16_t number) const {
    if (number == givenPort_) return {givenDevice_, givenDevice_, std::nullopt, {}};
    return MapComPort(
        number, ReadComLink(number, programDir_), [this] { return listedPorts(); }, programDir_,
        [this](int other) { return ReadComLink(other, programDir_).present; });
}

// Listing the ports is slow; checking a port left open, or telling the four ports, reuses
// the last listing while no device has come or gone.
std::vector<SerialPortEntry> QtSerialPort::listedPorts() const {
    const std::optional<std::int64_t> stamp = DevicesStamp();
    if (!stamp || !listing_ || listing_->stamp != stamp) listing_ = Listing{stamp, ports_()};
    return listing_->ports;
}

// A read on a device that hung up fails at once, every time: left open, the port's read
// notifier would try again and again while the event loop runs. The port is closed from the
// event loop, never inside the serial port's own call that reported the error; by then it may
// have been reopened on a live device, which stays open.
void QtSerialPort::closeWhenGone(QSerialPort::SerialPortError error) {
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
    return resolve(number).shown;
}

std::string QtSerialPort::describe(int16_t number) const {
    return DescribePort(number, resolve(number));
}

void QtSerialPort::setDevice(int16_t number, const std::string& path) {
    givenPort_ = number;
    givenDevice_ = path;
}

void QtSerialPort::open() {
    openError_.clear();
    const std::string name = "Com" + std::to_string(commPort_);
    if (commPort_ < kFirstPort || commPort_ > kLastPort) {
        openError_ =
            name + " is not a port: choose Com1 to Com4, or link the device as COM1 in " + programDir_;
        return;
    }
    const ComDevice device = resolve(commPort_);
    if (device.path.empty()) {
        openError_ = "Cannot open " + name + ": " + device.nothing;
        return;
    }
    const auto fail = [&](const std::string& reason) {
        openError_ = "Cannot open " + name + " (" + device.shown + "): " + reason;
    };
    const auto line = ParseLineSettings(settings_);
    if (!line) return fail("line settings \"" + settings_ + "\" not understood");
    if (const std::string problem = DeviceProblem(device.path); !problem.empty()) return fail(problem);

    port_.setPortName(QString::fromStdString(device.path));
    if (!port_.open(QIODevice::ReadWrite)) {
        fail(ReasonOf(port_.error(), port_.errorString(), device.path));
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
    openedPath_ = device.path;
    openedPort_ = commPort_;
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

// QSerialPort's blocking wait polls the device itself; no window event runs meanwhile.
bool QtSerialPort::waitForInput(double seconds) {
    if (!port_.isOpen()) return false;
    if (port_.bytesAvailable() > 0) return true;
    return port_.waitForReadyRead(static_cast<int>(seconds * 1000)) && port_.bytesAvailable() > 0;
}

std::string QtSerialPort::input() {
    if (!port_.isOpen()) return {};
    takeInPending();
    const QByteArray bytes = inputLen_ > 0 ? port_.read(inputLen_) : port_.readAll();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace zr

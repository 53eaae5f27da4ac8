#include "platform/qt_serial_port.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/device_line.h"
#include "platform/port_description.h"

namespace zr {

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 4;

}  // namespace

QtSerialPort::QtSerialPort(const QString& programDir, PortLister ports)
    : programDir_(programDir.toStdString()), ports_(std::move(ports)) {}

QtSerialPort::~QtSerialPort() = default;

bool QtSerialPort::portOpen() const {
    return line_ && line_->isOpen() && resolve(openedPort_).path == openedPath_;
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

void QtSerialPort::setPortOpen(bool open) {
    if (open && portOpen()) return;
    line_.reset();
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
    auto opened = std::make_unique<DeviceLine>();
    if (const std::string reason = opened->open(device.path, {settings_, *line, handshaking_, dtr_, rts_});
        !reason.empty())
        return fail(reason);
    line_ = std::move(opened);
    openedPath_ = device.path;
    openedPort_ = commPort_;
}

void QtSerialPort::output(const std::string& bytes) {
    if (line_) line_->write(bytes);
}

int16_t QtSerialPort::inBufferCount() {
    if (!line_) return 0;
    return static_cast<int16_t>(std::min<qint64>(line_->available(), std::numeric_limits<int16_t>::max()));
}

bool QtSerialPort::waitForInput(double seconds) {
    return line_ && line_->waitForInput(static_cast<int>(seconds * 1000));
}

std::string QtSerialPort::input() {
    return line_ ? line_->read(inputLen_) : std::string();
}

}  // namespace zr

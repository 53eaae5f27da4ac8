#include "platform/serial/qt_serial_port.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/network/network_line.h"
#include "platform/network/network_name.h"
#include "platform/serial/device_line.h"
#include "platform/serial/port_description.h"

namespace zr {

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 4;

}  // namespace

QtSerialPort::QtSerialPort(const QString& programDir, PortLister ports,
                           std::function<std::optional<std::int64_t>()> stamp)
    : programDir_(programDir.toStdString()), ports_(std::move(ports)), stamp_(std::move(stamp)) {}

QtSerialPort::~QtSerialPort() = default;

bool QtSerialPort::portOpen() const {
    return !lineLost() && resolve(openedPort_).path == openedPath_;
}

bool QtSerialPort::lineLost() const {
    return !line_ || !line_->isOpen();
}

ComDevice QtSerialPort::resolve(int16_t number) const {
    if (number == givenPort_)
        return {givenDevice_, givenDevice_, std::nullopt, {}, ComVia::Port, givenDevice_};
    return MapComPort(
        number, ReadComLink(number, programDir_), [this] { return listedPorts(); }, programDir_,
        [this](int other) { return ReadComLink(other, programDir_).present; });
}

// Listing the ports is slow; checking a port left open, or telling the four ports, reuses
// the last listing while no device has come or gone.
std::vector<SerialPortEntry> QtSerialPort::listedPorts() const {
    const std::optional<std::int64_t> stamp = stamp_();
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
    return DescribePort(number, resolve(number), portOpen() && openedPort_ == number);
}

void QtSerialPort::setDevice(int16_t number, const std::string& path) {
    givenPort_ = number;
    givenDevice_ = path;
}

void QtSerialPort::choosePort(int16_t number) {
    if (number >= kFirstPort && number <= kLastPort) used_[static_cast<std::size_t>(number)].reset();
}

ComChange QtSerialPort::changeOf(const ComDevice& device) const {
    return CheckComChange(commPort_, used_[static_cast<std::size_t>(commPort_)], device, programDir_,
                          [this] { return listedPorts(); });
}

void QtSerialPort::open() {
    openError_.clear();
    const std::string name = "Com" + std::to_string(commPort_);
    if (commPort_ < kFirstPort || commPort_ > kLastPort) {
        openError_ =
            name + " is not a port: choose Com1 to Com4, or link the device as COM1 in " + programDir_;
        return;
    }
    // A frame goes only where the port has led this run: a link or adapter gone refuses it, a
    // new device that could be opened is told once first (and taken from then on).
    const ComDevice device = resolve(commPort_);
    const ComChange change = changeOf(device);
    if (!change.refusal.empty() && !change.follow) {
        openError_ = change.refusal;
        return;
    }
    if (device.path.empty()) {
        openError_ = "Cannot open " + name + ": " + device.nothing;
        return;
    }
    const auto fail = [&](const std::string& reason) {
        openError_ = "Cannot open " + name + " (" + device.shown + "): " + reason;
    };
    const auto line = ParseLineSettings(settings_);
    if (!line) return fail("line settings \"" + settings_ + "\" not understood");
    const bool network = IsNetworkName(device.path);
    if (change.follow) {
        if (const std::string problem = network ? "" : DeviceProblem(device.path); !problem.empty())
            return fail(problem);
        used_[static_cast<std::size_t>(commPort_)] = device;
        openError_ = change.refusal;
        return;
    }
    std::unique_ptr<Line> opened;
    if (network)
        opened = std::make_unique<NetworkLine>();
    else
        opened = std::make_unique<DeviceLine>();
    if (const std::string reason = opened->open(device.path, {settings_, *line, handshaking_, dtr_, rts_});
        !reason.empty())
        return fail(reason);
    line_ = std::move(opened);
    openedPath_ = device.path;
    openedShown_ = device.shown;
    openedPort_ = commPort_;
    used_[static_cast<std::size_t>(commPort_)] = device;
}

// After a line has gone away, why, where the line can tell.
std::string QtSerialPort::openError() const {
    if (!openError_.empty() || !line_) return openError_;
    const std::string gone = line_->goneReason();
    return gone.empty() ? gone : "Com" + std::to_string(openedPort_) + " (" + openedShown_ + "): " + gone;
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

double QtSerialPort::replyDelay() const {
    return line_ ? line_->replyDelay() : 0;
}

}  // namespace zr

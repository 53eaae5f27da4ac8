#include "cli/scan_ports.h"

#include <QFileInfo>
#include <algorithm>

#include "shared/list_boxes.h"

namespace zr::cli {

namespace {

// The device a path ends at, links followed; the path itself when it leads nowhere.
std::string DeviceAt(const std::string& path) {
    const QString canonical = QFileInfo(QString::fromStdString(path)).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical.toStdString();
}

// Collects ports, dropping one whose device is already in. A port that stands for no
// device stays, to be told as such.
class PortSet {
public:
    void add(ScanPort port, const std::string& path) {
        const std::string device = DeviceAt(path);
        if (!path.empty() && std::find(devices_.begin(), devices_.end(), device) != devices_.end()) return;
        devices_.push_back(device);
        ports_.push_back(std::move(port));
    }
    std::vector<ScanPort> ports() && { return std::move(ports_); }

private:
    std::vector<std::string> devices_;
    std::vector<ScanPort> ports_;
};

}  // namespace

std::vector<ScanPort> GivenScanPorts(const std::vector<std::string>& names, const QtSerialPort& port) {
    PortSet set;
    for (const std::string& name : names) {
        const std::optional<PortChoice> choice = ReadPort(name);
        if (!choice) continue;
        if (!choice->device.empty()) {
            set.add(ScanPort{name, 1, choice->device}, choice->device);
        } else {
            const auto number = static_cast<int16_t>(choice->index + 1);
            set.add(ScanPort{PortItems[choice->index], number, ""}, port.resolve(number).path);
        }
    }
    return std::move(set).ports();
}

LinkOptions LinkOf(const ScanPort& port) {
    return {port.device.empty() ? port.number - 1 : FirstPortIndex, port.device};
}

std::vector<ScanPort> DefaultScanPorts(const QtSerialPort& port) {
    PortSet set;
    for (int i = 0; i < static_cast<int>(PortItems.size()); ++i) {
        const auto number = static_cast<int16_t>(i + 1);
        const std::string path = port.resolve(number).path;
        if (!path.empty()) set.add(ScanPort{PortItems[i], number, ""}, path);
    }
    for (const SerialPortEntry& entry : ListSerialPorts())
        if (entry.adapter) set.add(ScanPort{entry.device, 1, entry.device}, entry.device);
    return std::move(set).ports();
}

std::string ResolvedName(const ScanPort& scanPort, const QtSerialPort& port) {
    return scanPort.device.empty() ? port.deviceOf(scanPort.number) : DeviceAt(scanPort.device);
}

std::string OpenError(const ScanPort& scanPort, const QtSerialPort& port) {
    // A device given by path opens as Com1, which its name says better.
    std::string error = port.openError();
    const std::string asCom1 = "Cannot open Com1 (" + scanPort.device + "): ";
    if (scanPort.device.empty() || !error.starts_with(asCom1)) return error;
    return "cannot open it: " + error.substr(asCom1.size());
}

}  // namespace zr::cli

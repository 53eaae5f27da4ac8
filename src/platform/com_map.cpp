#include "platform/com_map.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace zr {

namespace {

// A device name as its stem and number, so that /dev/ttyS2 comes before /dev/ttyS10.
std::pair<std::string, unsigned long> DeviceKey(const std::string& device) {
    const std::size_t digits = device.find_last_not_of("0123456789") + 1;
    return {device.substr(0, digits), std::strtoul(device.c_str() + digits, nullptr, 10)};
}

// Adapters by their stable names where they have one; everything else by device.
std::pair<std::string, unsigned long> OrderKey(const SerialPortEntry& port) {
    return port.adapter && !port.byId.empty() ? std::pair{port.byId, 0ul} : DeviceKey(port.device);
}

std::string CountWord(std::size_t count) {
    const char* words[] = {"no", "one", "two", "three", "four"};
    return count < 5 ? words[count] : std::to_string(count);
}

// "this computer has ..." for a COMn beyond the ports it has: each port with the number it
// is, or would be but for a link in the folder.
std::string NothingAt(int number, const std::vector<SerialPortEntry>& counted, const std::string& folder,
                      const std::function<bool(int)>& linked) {
    const std::string com = "COM" + std::to_string(number);
    if (counted.empty())
        return "this computer has no serial port: plug in the adapter, or link a device as " + com + " in " +
               folder;
    const auto numbered = [&](std::size_t i) {
        const int n = static_cast<int>(i) + 1;
        return "Com" + std::to_string(n) + (linked(n) ? " without its link" : "");
    };
    std::string text = "this computer has " + CountWord(counted.size()) + " serial port" +
                       (counted.size() == 1 ? "" : "s") + ", ";
    if (counted.size() == 1) {
        text +=
            counted[0].device + (linked(1) ? ", which Com1 would be without its link" : ", which is Com1");
    } else {
        for (std::size_t i = 0; i < counted.size(); ++i) {
            if (i > 0) text += i + 1 == counted.size() ? " and " : ", ";
            text += counted[i].device + " (" + numbered(i) + ")";
        }
    }
    return text + ": plug in another adapter, or link a device as " + com + " in " + folder;
}

}  // namespace

std::vector<SerialPortEntry> CountedPorts(std::vector<SerialPortEntry> ports) {
    std::erase_if(ports, [](const SerialPortEntry& p) { return !p.uartKnown; });
    std::stable_sort(ports.begin(), ports.end(), [](const SerialPortEntry& a, const SerialPortEntry& b) {
        if (a.adapter != b.adapter) return a.adapter;
        return OrderKey(a) < OrderKey(b);
    });
    return ports;
}

ComDevice MapComPort(int number, const ComLink& link, const PortLister& ports, const std::string& folder,
                     const std::function<bool(int)>& linked) {
    if (link.present) {
        if (!link.symLink) return {link.path, link.path, std::nullopt, {}};
        return {link.resolved.empty() ? link.target : link.resolved,
                link.path + " -> " + link.target,
                std::nullopt,
                {}};
    }
    const std::vector<SerialPortEntry> counted = CountedPorts(ports());
    if (number >= 1 && static_cast<std::size_t>(number) <= counted.size()) {
        const SerialPortEntry& port = counted[static_cast<std::size_t>(number - 1)];
        return {port.device, port.device, port, {}};
    }
    return {{}, {}, std::nullopt, NothingAt(number, counted, folder, linked)};
}

}  // namespace zr

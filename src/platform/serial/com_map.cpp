#include "platform/serial/com_map.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/network/network_name.h"

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

// The Com number the adapter with this stable name is among the counted ports; 0 when none.
int NumberOf(const std::string& byId, const std::vector<SerialPortEntry>& counted) {
    const auto found = std::find_if(counted.begin(), counted.end(),
                                    [&](const SerialPortEntry& port) { return port.byId == byId; });
    return found == counted.end() ? 0 : static_cast<int>(found - counted.begin()) + 1;
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
        if (!link.symLink && IsNetworkName(link.firstLine))
            return {link.firstLine, link.path + " -> " + link.firstLine, std::nullopt, {}, ComVia::Link,
                    link.firstLine};
        if (!link.symLink) return {link.path, link.path, std::nullopt, {}, ComVia::Link, link.path};
        return {link.resolved.empty() ? link.target : link.resolved,
                link.path + " -> " + link.target,
                std::nullopt,
                {},
                ComVia::Link,
                link.target};
    }
    const std::vector<SerialPortEntry> counted = CountedPorts(ports());
    if (number >= 1 && static_cast<std::size_t>(number) <= counted.size()) {
        const SerialPortEntry& port = counted[static_cast<std::size_t>(number - 1)];
        const bool adapter = port.adapter && !port.byId.empty();
        return {port.device,
                port.device,
                port,
                {},
                adapter ? ComVia::Adapter : ComVia::Port,
                adapter ? port.byId : port.device};
    }
    return {{}, {}, std::nullopt, NothingAt(number, counted, folder, linked), ComVia::Nothing, {}};
}

std::string DeviceName(const ComDevice& device) {
    if (!device.port || device.port->byId.empty()) return device.shown;
    return device.port->byId + " (" + device.shown + ")";
}

ComChange CheckComChange(int number, const std::optional<ComDevice>& before, const ComDevice& now,
                         const std::string& folder, const PortLister& ports) {
    if (!before || before->identity == now.identity) return {};
    const std::string com = "Com" + std::to_string(number);
    if (before->via == ComVia::Port && now.via == ComVia::Nothing) return {};  // the opening tells why
    const std::string told = ": nothing was sent. Send again to use it.";
    if (now.via == ComVia::Link && before->via == ComVia::Link)
        return {com + ": the link " + folder + "/COM" + std::to_string(number) + " now leads to " +
                    now.identity + ", no longer to " + before->identity + told,
                true};
    if (now.via == ComVia::Link || before->via == ComVia::Port)
        return {com + " now stands for " + DeviceName(now) + ", no longer for " + DeviceName(*before) + told,
                true};
    std::string text = com + ": ";
    std::string back;
    if (before->via == ComVia::Link) {
        text += "the link " + before->shown + " is gone";
        back = "Link the device again as COM" + std::to_string(number) + " in " + folder;
    } else if (const int at = NumberOf(before->identity, CountedPorts(ports())); at > 0) {
        text += "the adapter " + before->identity + " is Com" + std::to_string(at) + " now";
        back = "Choose Com" + std::to_string(at) + " in Setup to reach it";
    } else {
        text += "the adapter " + DeviceName(*before) + " is gone";
        back = "Plug the adapter in again";
    }
    if (now.via == ComVia::Nothing)
        return {text + ", and " + com + " stands for no device now: nothing was sent. " + back + "."};
    return {text + ", and " + com + " would now be " + DeviceName(now) +
            ", another device: nothing was sent. " + back + ", or choose " + com + " again in Setup to use " +
            now.path + "."};
}

}  // namespace zr

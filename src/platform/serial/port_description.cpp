#include "platform/serial/port_description.h"

#include <QCoreApplication>

#include "platform/network/network_name.h"
#include "platform/serial/port_device.h"

namespace zr {

namespace {

// "FT232R USB UART, made by FTDI, serial number A10K": what is known of it.
std::string Adapter(const SerialPortEntry& port) {
    std::string text = port.description;
    const auto add = [&text](const std::string& label, const std::string& value) {
        if (value.empty()) return;
        text += (text.empty() ? "" : ", ") + label + value;
    };
    add("made by ", port.manufacturer);
    add("serial number ", port.serialNumber);
    return text;
}

std::string State(const ComDevice& device) {
    std::string problem = DeviceProblem(device.path);
    if (problem == kNoSuchDevice) return "missing";
    if (!problem.empty()) return problem;
    const DeviceHolder holder = HolderOf(device.path);
    if (holder.pid == 0) return "free";
    if (holder.pid == QCoreApplication::applicationPid()) return "open in this program";
    const std::string process = holder.name + " (process " + std::to_string(holder.pid) + ")";
    // A descriptor alone does not keep this program out (a simulator keeps its own end open).
    return holder.locked ? "busy: held by " + process : "free, but " + process + " has it open too";
}

// What a network port is, and whether it is connected; nothing is tried before a Send.
std::string NetworkState(const std::string& text, bool connected) {
    const ParsedNetworkName parsed = ParseNetworkName(text);
    if (!parsed.error.empty()) return parsed.error;
    const NetworkName& name = parsed.name;
    std::string kind = name.rfc2217 ? "telnet with RFC 2217: the line settings are set on the server's port"
                                    : "raw TCP: the server's own line settings apply";
    if (name.tls) kind += "\nover TLS, the certificate checked against " + name.ca + " and " + name.host;
    return kind + "\n" + (connected ? "connected" : "connects at the next Send");
}

}  // namespace

std::string DescribePort(int number, const ComDevice& device, bool connected) {
    const std::string name = "Com" + std::to_string(number);
    if (device.path.empty()) return name + ": no device; " + device.nothing;
    if (IsNetworkName(device.path))
        return name + ": " + device.shown + "\n" + NetworkState(device.path, connected);
    std::string text = name + ": " + DeviceName(device);
    if (device.port)
        if (const std::string adapter = Adapter(*device.port); !adapter.empty()) text += "\n" + adapter;
    return text + "\n" + State(device);
}

}  // namespace zr

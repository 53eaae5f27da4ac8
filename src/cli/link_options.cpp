#include "cli/link_options.h"

#include <algorithm>
#include <cctype>

#include "window/control_table.h"

namespace zr::cli {

namespace {

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

// What the i-th item of a combo box's list is called on the command line.
std::string Choice(Control combo, std::size_t i) {
    return combo == Control::cboBaud ? BaudItems[i].value : FixedItems(combo)[i];
}

// An option whose value must be one of a combo box's items; it sets the item's index.
void AddChoice(CLI::App& command, const std::string& name, const std::string& kind, Control combo, int& index,
               const std::string& help) {
    command
        .add_option_function<std::string>(
            name,
            [name, combo, &index](const std::string& value) {
                const std::optional<int> found = ChoiceIndex(combo, value);
                if (!found)
                    throw CLI::ValidationError(name, "\"" + value + "\" is not one of: " + Choices(combo));
                index = *found;
            },
            help)
        ->type_name(kind)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

}  // namespace

std::optional<PortChoice> ReadPort(const std::string& value) {
    if (const std::optional<int> index = ChoiceIndex(Control::cboPort, value)) return PortChoice{*index, ""};
    // An option's name is no device: "--port= --json" must not open a device called "--json".
    if (value.empty() || value.starts_with('-')) return std::nullopt;
    return PortChoice{FirstPortIndex, value};
}

std::optional<int> ChoiceIndex(Control combo, const std::string& value) {
    const std::vector<std::string>& items = FixedItems(combo);
    for (std::size_t i = 0; i < items.size(); ++i)
        if (Upper(items[i]) == Upper(value) || Choice(combo, i) == value) return static_cast<int>(i);
    return std::nullopt;
}

std::string Choices(Control combo) {
    std::string text;
    for (std::size_t i = 0; i < FixedItems(combo).size(); ++i)
        text += (text.empty() ? "" : " ") + Choice(combo, i);
    return text;
}

void AddPortOptions(CLI::App& command, LinkOptions& link) {
    command
        .add_option_function<std::string>(
            "--port",
            [&link](const std::string& value) {
                const std::optional<PortChoice> port = ReadPort(value);
                if (!port) throw CLI::ValidationError("--port", "needs a port or a device");
                link.portIndex = port->index;
                link.device = port->device;
            },
            "Com1..Com4 as the window numbers them, a device's path, or a network port such as "
            "rfc2217://HOST:PORT (default Com1)")
        ->type_name("PORT")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    AddChoice(command, "--baud", "RATE", Control::cboBaud, link.baudIndex,
              "one of: " + Choices(Control::cboBaud) + " (default 9600)");
    AddChoice(command, "--protocol", "DT|OEM", Control::cboProtocol, link.protocolIndex,
              "DT or OEM (default DT)");
}

void AddLinkOptions(CLI::App& command, LinkOptions& link) {
    AddPortOptions(command, link);
    AddChoice(command, "--address", "PUMP", Control::cboAddress, link.addressIndex,
              "one of: " + Choices(Control::cboAddress) + " (default 1)");
    AddReplyMargin(command, link.replyMarginMs);
}

void AddReplyMargin(CLI::App& command, int& milliseconds) {
    command
        .add_option("--reply-margin", milliseconds,
                    "how late a pump's first byte may come, in milliseconds past its time on the line "
                    "and the network's round trip (default " +
                        std::to_string(DefaultReplyMarginMs) + ", at most " +
                        std::to_string(LongestReplyMarginMs) + ")")
        ->type_name("MS")
        ->check(CLI::Range(0, LongestReplyMarginMs).description(""))
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

std::string LinkHelp() {
    return "LINK (defaults as the window starts: Com1, 9600, DT, address 1):\n"
           "  --port Com1..Com4|DEVICE|NETWORK-PORT   a port as the window numbers it, a device's path,\n"
           "      or rfc2217://HOST:PORT, socket://HOST:PORT, rfc2217+tls://HOST:PORT?ca=FILE,\n"
           "      socket+tls://HOST:PORT?ca=FILE\n"
           "  --baud " +
           Choices(Control::cboBaud) +
           "\n"
           "  --protocol DT|OEM\n"
           "  --address " +
           Choices(Control::cboAddress) +
           "\n"
           "  --reply-margin MS   how late a pump's first byte may come (default " +
           std::to_string(DefaultReplyMarginMs) + ")\n";
}

}  // namespace zr::cli

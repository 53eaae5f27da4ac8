#pragma once

#include <CLI/App.hpp>
#include <optional>
#include <string>

#include "shared/form.h"
#include "shared/list_boxes.h"

namespace zr::cli {

// How late a pump's first byte may come, by default, past the time that the request and the
// byte take on the line (and the network's round trip): a USB adapter alone holds bytes back
// 16 ms, and a pump takes its own time. The most --reply-margin takes stays below the reply
// time-out of 2 s.
inline constexpr int DefaultReplyMarginMs = 50;
inline constexpr int LongestReplyMarginMs = 1000;

// The link a subcommand talks over. The choices are indices into the window's lists, so that
// they reach the module exactly as the operator's choices in the window do.
struct LinkOptions {
    int portIndex = FirstPortIndex;
    std::string device;  // a device given by its path, standing for Com1; "" when none
    int baudIndex = DefaultBaudIndex;
    int protocolIndex = DtProtocolIndex;
    int addressIndex = FirstAddressIndex;
    int replyMarginMs = DefaultReplyMarginMs;
};

// A --port value: one of the window's ports (Com1..Com4, in either case) or a device's path.
struct PortChoice {
    int index = FirstPortIndex;
    std::string device;
};
std::optional<PortChoice> ReadPort(const std::string& value);

// The index of `value` in a combo box's list: the item in either case, or for the baud rate
// the rate the port takes ("38400" for "38,400").
std::optional<int> ChoiceIndex(Control combo, const std::string& value);
// The list's choices as the command line names them, separated by blanks.
std::string Choices(Control combo);

// Adds --port, --baud and --protocol, with the window's start-up choices as their defaults.
void AddPortOptions(CLI::App& command, LinkOptions& link);
// Adds --port, --baud, --protocol and --address, with the window's start-up choices as their
// defaults, and --reply-margin to a subcommand; a value outside the window's lists is a usage
// error.
void AddLinkOptions(CLI::App& command, LinkOptions& link);
// Adds --reply-margin MS alone, setting `milliseconds`.
void AddReplyMargin(CLI::App& command, int& milliseconds);
// The same as a paragraph of help text.
std::string LinkHelp();

}  // namespace zr::cli

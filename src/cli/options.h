#pragma once

#include <string>
#include <vector>

#include "shared/list_boxes.h"

namespace zr::cli {

// What the command line asks for. The link choices are indices into the window's lists, so
// that they reach the module exactly as the operator's choices in the window do.
struct Options {
    enum class Action { Send, Check, Position, Help, Version };
    Action action = Action::Help;
    int portIndex = FirstPortIndex;
    int baudIndex = DefaultBaudIndex;
    int protocolIndex = DtProtocolIndex;
    int addressIndex = FirstAddressIndex;
    std::string device;  // a device given by path, standing for Com1; "" when none
    bool json = false;
    bool watch = false;
    std::vector<std::string> commands;
};

// The result of reading the command line: the options, or what is wrong with it.
struct Parsed {
    Options options;
    std::string error;  // "" when the command line is good
};

Parsed ParseArguments(const std::vector<std::string>& arguments);

// The usage text, naming the program as it was called.
std::string Usage(const std::string& program);

}  // namespace zr::cli

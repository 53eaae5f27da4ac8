#include "cli/options.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "shared/list_boxes.h"
#include "window/control_table.h"

namespace zr::cli {

namespace {

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

// What the i-th item of a combo box's list is called on the command line: the item itself,
// but for the baud rate the rate the port takes ("38400" for "38,400").
std::string Choice(Control combo, std::size_t i) {
    return combo == Control::cboBaud ? BaudItems[i].value : FixedItems(combo)[i];
}

// The index of `value` in a combo box's list; letters in either case, and for the baud rate
// the shown item or the rate.
std::optional<int> ListIndex(Control combo, const std::string& value) {
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

class Reader {
public:
    explicit Reader(const std::vector<std::string>& arguments) : args_(arguments) {}

    Parsed read() {
        if (args_.empty()) return fail("no action given");
        const std::string& action = args_[0];
        if (action == "--help" || action == "-h" || action == "help") return only(Options::Action::Help);
        if (action == "--version") return only(Options::Action::Version);
        if (action == "send")
            parsed_.options.action = Options::Action::Send;
        else if (action == "check")
            parsed_.options.action = Options::Action::Check;
        else if (action == "position")
            parsed_.options.action = Options::Action::Position;
        else
            return fail("unknown action \"" + action + "\"");
        std::size_t i = 1;
        for (; i < args_.size() && parsed_.error.empty(); ++i) {
            const std::string& arg = args_[i];
            if (arg == "--") {
                ++i;
                break;
            }
            if (!arg.starts_with("--")) break;
            option(arg, i);
        }
        if (!parsed_.error.empty()) return parsed_;
        Options& o = parsed_.options;
        o.commands.assign(args_.begin() + static_cast<std::ptrdiff_t>(i), args_.end());
        if (o.action != Options::Action::Position && o.commands.empty()) return fail("no COMMAND given");
        if (o.action == Options::Action::Position && !o.commands.empty())
            return fail("position takes no COMMAND (\"" + o.commands[0] + "\")");
        return parsed_;
    }

private:
    Parsed only(Options::Action action) {
        if (args_.size() > 1) return fail("\"" + args_[0] + "\" takes nothing after it");
        parsed_.options.action = action;
        return parsed_;
    }

    Parsed fail(const std::string& error) {
        parsed_.error = error;
        return parsed_;
    }

    // Reads one option at args_[i], and its value ("--name value" or "--name=value").
    void option(const std::string& arg, std::size_t& i) {
        Options& o = parsed_.options;
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const bool link = o.action != Options::Action::Check;
        if (name == "--json" && o.action == Options::Action::Send && equals == std::string::npos) {
            o.json = true;
        } else if (name == "--watch" && o.action == Options::Action::Position &&
                   equals == std::string::npos) {
            o.watch = true;
        } else if (link && name == "--port") {
            const std::string v = value(arg, equals, i);
            if (const auto index = ListIndex(Control::cboPort, v)) {
                o.portIndex = *index;
                o.device.clear();
            } else if (!v.empty()) {
                o.portIndex = 0;
                o.device = v;
            } else if (parsed_.error.empty()) {
                fail("--port needs a port or a device");
            }
        } else if (link && name == "--protocol") {
            choose(Control::cboProtocol, "--protocol", value(arg, equals, i), o.protocolIndex);
        } else if (link && name == "--baud") {
            choose(Control::cboBaud, "--baud", value(arg, equals, i), o.baudIndex);
        } else if (link && name == "--address") {
            choose(Control::cboAddress, "--address", value(arg, equals, i), o.addressIndex);
        } else {
            fail("unknown option \"" + arg + "\" for " + args_[0]);
        }
    }

    std::string value(const std::string& arg, std::size_t equals, std::size_t& i) {
        if (equals != std::string::npos) return arg.substr(equals + 1);
        if (i + 1 < args_.size()) return args_[++i];
        fail(arg + " needs a value");
        return {};
    }

    void choose(Control combo, const std::string& name, const std::string& v, int& index) {
        if (!parsed_.error.empty()) return;
        if (const auto found = ListIndex(combo, v))
            index = *found;
        else
            fail(name + " \"" + v + "\" is not one of: " + Choices(combo));
    }

    const std::vector<std::string>& args_;
    Parsed parsed_;
};

}  // namespace

Parsed ParseArguments(const std::vector<std::string>& arguments) {
    return Reader(arguments).read();
}

std::string Usage(const std::string& program) {
    const std::string p = "  " + program;
    return "Usage:\n" + p + " send [LINK...] [--json] COMMAND...\n" + p + " check COMMAND...\n" + p +
           " position [LINK...] [--watch]\n" + p +
           " --help | --version\n"
           "\n"
           "LINK (defaults as the window starts: Com1, 9600, DT, address 1):\n"
           "  --port Com1..Com4|DEVICE   a port as the window numbers it, or a device's path\n"
           "  --baud " +
           Choices(Control::cboBaud) +
           "\n"
           "  --protocol DT|OEM\n"
           "  --address " +
           Choices(Control::cboAddress) +
           "\n"
           "\n"
           "send: each COMMAND is one Send; prints the status code, the status, the reply and the\n"
           "  data, one per line (--json: one object per line, with the request and the raw reply\n"
           "  in hex and the milliseconds to the first reply byte and to the reply read). A\n"
           "  command without reply is reported on stderr after the 2 s time-out and the next\n"
           "  command follows.\n"
           "check: prints each COMMAND's parsed form; a syntax error is reported on stderr.\n"
           "position: prints \"syringe = ...\" and \"port = ...\"; --watch repeats until Ctrl-C.\n"
           "\n"
           "Exit status: 0 done; 1 a syntax error; 2 the port could not be opened; 3 a command got\n"
           "  no reply; 4 an OEM checksum error; 64 a usage error. With several commands the first\n"
           "  failure's status counts.\n";
}

}  // namespace zr::cli

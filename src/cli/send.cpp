#include <memory>
#include <string>
#include <vector>

#include "cli/link_options.h"
#include "cli/session.h"
#include "cli/subcommands.h"

namespace zr::cli {

void AddSend(CLI::App& program, Action& action) {
    struct Choices {
        LinkOptions link;
        bool json = false;
        std::vector<std::string> commands;
    };
    const auto choices = std::make_shared<Choices>();
    CLI::App* send = program.add_subcommand("send", "send each COMMAND as Send does and print the reply");
    send->footer(
        "\nEach COMMAND is one Send; prints the status code, the status, the reply and the data, one\n"
        "per line. A command without reply is reported on stderr after the 2 s time-out and the\n"
        "next command follows.");
    AddLinkOptions(*send, choices->link);
    send->add_flag("--json", choices->json,
                   "one object per line instead, with the request and the raw reply in hex and the "
                   "milliseconds to the first reply byte and to the reply read");
    send->add_option("COMMAND", choices->commands, "command strings, sent as typed")->required();
    send->callback([choices, &action] {
        action = [choices] { return Session(choices->link).send(choices->commands, choices->json); };
    });
}

}  // namespace zr::cli

#include <memory>
#include <string>
#include <vector>

#include "cli/link_options.h"
#include "cli/runner.h"
#include "cli/step_options.h"
#include "cli/subcommands.h"

namespace zr::cli {

void AddSend(CLI::App& program, Action& action) {
    struct Choices {
        LinkOptions link;
        RunOptions run{.waitReady = false, .stopAtFailure = false};
        std::vector<std::string> commands;
    };
    const auto choices = std::make_shared<Choices>();
    CLI::App* send = program.add_subcommand("send", "send each COMMAND as Send does and print the reply");
    send->footer(
        "\nEach COMMAND is one Send; prints the status code, the status, the reply and the data, one\n"
        "per line. A command without reply is reported on stderr after the 2 s time-out and the\n"
        "next command follows. With --wait-ready each command's pump is asked \"?\" until it reads\n"
        "ready before the next command. Ctrl-C sends Stop to the pump and ends with status 130.");
    AddLinkOptions(*send, choices->link);
    AddStepOptions(*send, choices->run);
    send->add_flag("--wait-ready", choices->run.waitReady,
                   "after each command, ask the pump(s) \"?\" until ready (a group: each of its pumps)");
    send->add_option("COMMAND", choices->commands, "command strings, sent as typed")->required();
    send->callback([choices, &action] {
        if (choices->run.waitReady && choices->link.addressIndex == AllPumpsAddressIndex)
            throw CLI::ValidationError("--wait-ready",
                                       "ALL names no pump to wait for: give --address a pump or a group");
        action = [choices] {
            std::vector<Step> steps;
            for (const std::string& command : choices->commands) steps.push_back(CommandStep(command, 0));
            Session session(choices->link, true);
            return Runner(session, choices->run).run(steps);
        };
    });
}

}  // namespace zr::cli

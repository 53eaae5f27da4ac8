#include <memory>
#include <string>
#include <vector>

#include "cli/session.h"
#include "cli/subcommands.h"

namespace zr::cli {

void AddCheck(CLI::App& program, Action& action) {
    const auto commands = std::make_shared<std::vector<std::string>>();
    CLI::App* check = program.add_subcommand("check", "print each COMMAND's parsed form, as Parse shows it");
    check->footer("\nA syntax error is reported on stderr, as Parse's box tells it.");
    check->add_option("COMMAND", *commands, "command strings to check")->required();
    check->callback([commands, &action] {
        action = [commands] { return Session(LinkOptions{}, false).check(*commands); };
    });
}

}  // namespace zr::cli

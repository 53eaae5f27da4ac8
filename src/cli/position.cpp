#include <memory>

#include "cli/link_options.h"
#include "cli/session.h"
#include "cli/subcommands.h"

namespace zr::cli {

void AddPosition(CLI::App& program, Action& action) {
    struct Choices {
        LinkOptions link;
        bool watch = false;
    };
    const auto choices = std::make_shared<Choices>();
    CLI::App* position = program.add_subcommand(
        "position", "print \"syringe = ...\" and \"port = ...\", as Show Position shows them");
    AddLinkOptions(*position, choices->link);
    position->add_flag("--watch", choices->watch, "repeat, as with Auto checked, until Ctrl-C (status 0)");
    position->callback([choices, &action] {
        action = [choices] { return Session(choices->link, false).position(choices->watch); };
    });
}

}  // namespace zr::cli

#include "cli/step_options.h"

#include "cli/sequence.h"

namespace zr::cli {

void AddStepOptions(CLI::App& command, RunOptions& run) {
    command.add_flag(
        "--json", run.json,
        "one object a line instead, with the request and the raw reply in hex, the milliseconds to "
        "the first reply byte and to the reply read, the outcome and the exit status");
    command
        .add_option_function<std::string>(
            "--step-timeout",
            [&run](const std::string& value) {
                const std::optional<double> seconds = ReadDuration(value, false);
                if (!seconds)
                    throw CLI::ValidationError("--step-timeout",
                                               "\"" + value + "\" is no time: write 60, 90s or 500ms");
                run.stepTimeout = *seconds;
            },
            "how long a pump may stay busy after a command before the step fails (default 60 s)")
        ->type_name("TIME");
}

}  // namespace zr::cli

#include <iostream>
#include <iterator>
#include <memory>
#include <string>

#include "cli/link_options.h"
#include "cli/output.h"
#include "cli/runner.h"
#include "cli/sequence.h"
#include "cli/step_options.h"
#include "cli/subcommands.h"
#include "store/program_file.h"

namespace zr::cli {

namespace {

struct RunChoices {
    LinkOptions link;
    RunOptions run{.progress = true};
    bool noWait = false;
    std::string file;
    std::string program;
};

// The sequence's text from its file ("-": standard input) or from the stored program; false,
// with the reason told, when there is none.
bool ReadText(const RunChoices& c, Session& session, std::string& text, std::string& where) {
    Module& m = session.module();
    if (!c.program.empty()) {
        m.ProgFile = m.files.pathOf(ProgramsFile);
        m.ProgName = c.program;
        m.ErrNum = 0;
        RetrieveProgram(m);  // a file that is missing or cannot be read is told in the store's box
        where = "program \"" + c.program + "\"";
        if (m.ErrNum != 0 && m.files.exists(m.ProgFile))
            Tell(m.ProgFile + ": no program is stored as \"" + c.program + "\"");
        text = m.CmdString;
        return m.ErrNum == 0;
    }
    where = c.file == "-" ? "stdin" : c.file;
    if (c.file == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return true;
    }
    std::string error;
    if (m.files.read(c.file, text, error)) return true;
    Tell("Cannot read the sequence " + c.file + ": " + error);
    return false;
}

int Run(const RunChoices& c) {
    Session session(c.link, true);
    std::string text, where;
    if (!ReadText(c, session, text, where)) return kNoInput;
    // A stored program is one command string: a sequence of one step.
    const Sequence sequence = c.program.empty() ? ReadSequence(text) : Sequence{{CommandStep(text, 1)}, {}};
    for (const Sequence::Problem& problem : sequence.problems)
        Tell(where + ":" + std::to_string(problem.line) + ": " + problem.text);
    RunOptions options = c.run;
    options.waitReady = !c.noWait;
    Runner runner(session, options);
    const bool good = runner.check(sequence.steps, where) && sequence.problems.empty();
    if (!good) {
        Tell(where + ": nothing was sent");
        return kSyntaxError;
    }
    if (sequence.steps.empty()) {
        Tell(where + ": no step to run");
        return kSyntaxError;
    }
    return runner.run(sequence.steps);
}

}  // namespace

void AddRun(CLI::App& program, Action& action) {
    const auto choices = std::make_shared<RunChoices>();
    CLI::App* run = program.add_subcommand("run", "run a sequence of steps from FILE, or a stored program");
    run->footer(
        "\nA sequence has one step a line:\n"
        "  [ADDRESS] COMMAND    send COMMAND (to ADDRESS, else to --address), then ask each pump\n"
        "                       it reached \"?\" until it reads ready (unless --no-wait)\n"
        "  [ADDRESS] wait ready ask until ready: the pumps of ADDRESS, else every pump the run\n"
        "                       has sent to so far\n"
        "  wait 500ms           pause (also 2s, 1.5s)\n"
        "  # comment            (and blank lines) skipped\n"
        "A group's pumps are those it names (1,2 is pumps 1 and 2); ALL's are the pumps the\n"
        "sequence names. Every command is checked first: a bad line is told with its number and\n"
        "nothing is sent. The run stops at the first failure. Progress goes to stderr; stdout gets\n"
        "each command's reply as send prints it. Ctrl-C or SIGTERM sends Stop to every pump\n"
        "addressed, reads the acknowledgements and ends with status 130.");
    AddLinkOptions(*run, choices->link);
    AddStepOptions(*run, choices->run);
    run->add_flag("--no-wait", choices->noWait, "send each command without waiting for its pumps");
    CLI::Option* name =
        run->add_option("--program", choices->program, "a program stored in programs.txt instead of FILE")
            ->type_name("NAME");
    CLI::Option* file = run->add_option("FILE", choices->file, "the sequence (\"-\": standard input)");
    file->excludes(name);
    run->callback([choices, &action] {
        if (choices->file.empty() && choices->program.empty())
            throw CLI::RequiredError("a sequence: FILE or --program NAME");
        action = [choices] { return Run(*choices); };
    });
}

}  // namespace zr::cli

#include <CLI/App.hpp>
#include <CLI/Config.hpp>
#include <CLI/Formatter.hpp>
#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>

#include "cli/exit_status.h"
#include "cli/link_options.h"
#include "cli/output.h"
#include "cli/subcommands.h"
#include "cli/terminal.h"
#include "cli/version.h"
#include "platform/files/data_folders.h"

namespace {

using namespace zr::cli;

// Reads the command line and carries out the subcommand it chooses; the exit status.
int Run(const std::string& program, std::vector<std::string> arguments) {
    CLI::App parser("The window's Send, Parse and Show Position for scripts, and sequences of steps.",
                    program);
    parser.set_version_flag("--version", program + " " + ZR_VERSION, "print the version and exit");
    parser.require_subcommand(1);
    Action action;
    AddSend(parser, action);
    AddCheck(parser, action);
    AddPosition(parser, action);
    AddScan(parser, action);
    AddRun(parser, action);
    AddServe(parser, action);
    // The data folder is looked for only when the help is printed: CLI11 puts the callback's
    // text, a line end, then the fixed text.
    parser.footer([program] {
        const std::string data =
            zr::FindDataFolders(QCoreApplication::applicationDirPath().toStdString()).data;
        return "\n\"" + program + " SUBCOMMAND --help\" tells a subcommand's options.\n\n" + LinkHelp() +
               "  The links COM1..COM4 are looked up in " + data + "\n";
    });
    parser.footer(ExitStatusHelp);

    // "help" as the first word asks for the help, as --help does.
    if (!arguments.empty() && arguments[0] == "help") arguments[0] = "--help";
    const std::string first = arguments.empty() ? "" : arguments[0];
    std::reverse(arguments.begin(), arguments.end());  // CLI11 takes them last first, using them up
    try {
        parser.parse(arguments);
    } catch (const CLI::CallForHelp&) {
        Print(parser.help());
        return kDone;
    } catch (const CLI::CallForVersion& e) {
        PrintLine(e.what());
        return kDone;
    } catch (const CLI::ParseError& e) {
        // A first word that names no subcommand is told as such, not as a missing subcommand.
        const bool unknown = parser.get_subcommands().empty() && !first.empty() && !first.starts_with('-');
        const std::string what = unknown ? "unknown subcommand \"" + first + "\"" : e.what();
        Tell(program + ": " + what + "\nRun \"" + program +
             " --help\" for the subcommands and their options.");
        return kUsageError;
    }
    return action();
}

}  // namespace

int main(int argc, char* argv[]) {
    WritesToClosedPipesFail();
    QCoreApplication app(argc, argv);
    const std::string program = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().toStdString();
    int status = kInternalFault;
    try {
        status = Run(program, std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        Tell(program + ": internal fault: " + e.what());
    }
    return FinishOutput(status, program);
}

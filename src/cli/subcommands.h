#pragma once

#include <CLI/App.hpp>
#include <functional>

namespace zr::cli {

// What the chosen subcommand does once the command line has been read: its exit status is
// the program's.
using Action = std::function<int()>;

// Each subcommand adds itself and its options to the program's parser and, when it is the one
// chosen, sets `action`. A new subcommand is one more file with one more of these.
void AddSend(CLI::App& program, Action& action);
void AddCheck(CLI::App& program, Action& action);
void AddPosition(CLI::App& program, Action& action);
void AddScan(CLI::App& program, Action& action);
void AddRun(CLI::App& program, Action& action);
// In the executable only: it links the pump servers.
void AddServe(CLI::App& program, Action& action);

}  // namespace zr::cli

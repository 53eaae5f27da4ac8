#pragma once

#include <CLI/App.hpp>

#include "cli/runner.h"

namespace zr::cli {

// The options that send and run share: --json and --step-timeout.
void AddStepOptions(CLI::App& command, RunOptions& run);

}  // namespace zr::cli

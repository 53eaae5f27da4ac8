#pragma once

#include <grpcpp/support/status.h>

#include <string>

#include "cli/session.h"

namespace zr::sila {

// What one exchange tells a client: OK, or the pump feature's defined error for its failure
// with a message saying what to do. A pump's error letter is a failure only when
// `pumpErrorFails`: a poll shows it as the status instead.
grpc::Status Outcome(cli::Session& session, const cli::Answer& answer, int address, bool pumpErrorFails);

// The checker's verdict on `command` (validation error on `parameter`), OK when it passes.
grpc::Status Checked(cli::Session& session, const std::string& command, const std::string& parameter);

}  // namespace zr::sila

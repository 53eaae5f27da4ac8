#include "sila/exchange_outcome.h"

#include "cli/exit_status.h"
#include "cli/pumps.h"
#include "cmdlang/checker.h"
#include "shared/error_messages.h"
#include "shared/form.h"
#include "sila/identifiers.h"
#include "sila/sila_errors.h"

namespace zr::sila {

namespace {

// What the session told of the failure, on one line, and what to do.
std::string Told(const cli::Session& session, const std::string& whatToDo) {
    std::string told = session.told();
    for (char& c : told)
        if (c == '\n') c = ' ';
    return told + ". " + whatToDo;
}

grpc::Status Failure(const char* error, const std::string& message) {
    return DefinedError(Qualified(PumpFeatureId, "DefinedExecutionError", error), message);
}

}  // namespace

grpc::Status Outcome(cli::Session& session, const cli::Answer& answer, int address, bool pumpErrorFails) {
    const std::string pump = "Pump " + cli::AddressName(address);
    const Module& m = session.module();
    switch (answer.exitStatus) {
        case cli::kDone:
            return grpc::Status::OK;
        case cli::kPortFailed:
            return Failure("PortUnavailable",
                           Told(session,
                                "Connect the pump's adapter or start its network port's server, or serve "
                                "another port; the server tries the port again at the next call."));
        case cli::kNoReply:
            return Failure("NoReply",
                           pump + " did not answer within 2 s. Check that it is powered, set to address " +
                               cli::AddressName(address) + ", " + m.BaudRate + " baud and the " + m.Protocol +
                               " protocol, and that its cable is in; then call again.");
        case cli::kChecksumError:
        case cli::kTooShort:
            return Failure("GarbledReply",
                           Told(session,
                                "The line garbles the pump's replies: check the cable, the baud "
                                "rate and the protocol, then call again."));
        case cli::kPumpError:
            if (!pumpErrorFails) return grpc::Status::OK;
            return Failure("PumpError", pump + " answered with an error: " + answer.status +
                                            ". Correct the cause (an initialisation, the command's values), "
                                            "then send the command again.");
        default:
            return UndefinedError(pump + ": the exchange ended with exit status " +
                                  std::to_string(answer.exitStatus) + "; please report it.");
    }
}

grpc::Status Checked(cli::Session& session, const std::string& command, const std::string& parameter) {
    Module& m = session.module();
    m.CmdString = command;
    m.ErrNum = 0;
    ParseCommand(m);
    if (m.ErrNum == 0) return grpc::Status::OK;
    ErrorMessage(m);
    return ValidationError(parameter, "Command syntax error at character #" + std::to_string(m.ScanPos) +
                                          ": " + m.ErrDetail +
                                          ". Correct the command string and call again.");
}

}  // namespace zr::sila

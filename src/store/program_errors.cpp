#include "store/program_errors.h"

#include <utility>

#include "shared/error_messages.h"

namespace zr {

void ShowProgramError(Module& m) {
    m.dialogs.messageBox(m.ErrDetail, MessageIcon::Critical, "");
}

void RaiseProgramError(Module& m, int16_t number) {
    m.ErrNum = number;
    ErrorMessage(m);
    ShowProgramError(m);
}

namespace {

void ShowFileFailure(Module& m, std::string text) {
    m.ErrNum = ErrProgramFileUnusable;
    m.ErrDetail = std::move(text);
    ShowProgramError(m);
}

}  // namespace

void ReportUnreadableProgramFile(Module& m, const std::string& reason) {
    ShowFileFailure(m, "Cannot read program file " + m.ProgFile + ": " + reason);
}

void ReportUnwritableProgramFile(Module& m, const std::string& reason) {
    ShowFileFailure(
        m, "Cannot write program file " + m.ProgFile + ": " + reason + ". The file has not been changed.");
}

}  // namespace zr

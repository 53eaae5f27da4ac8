#include "cli/runner.h"

#include <QJsonObject>
#include <cmath>
#include <utility>

#include "cli/output.h"
#include "cli/pumps.h"
#include "cli/terminal.h"
#include "cmdlang/checker.h"
#include "cmdlang/parse_display.h"
#include "shared/numbers.h"

namespace zr::cli {

namespace {

// The pause between two "?" to a busy pump: the pump is asked often enough that a step ends
// soon after the pump is ready, and seldom enough that it has time for its work.
constexpr double kPollSeconds = 0.05;

std::string Seconds(double seconds) {
    return DecimalText(std::round(seconds * 100) / 100) + " s";
}

}  // namespace

Runner::Runner(Session& session, const RunOptions& options)
    : s_(session), o_(options), terminal_(options.progress && StderrIsTerminal()) {}

int Runner::addressOf(const Step& step) const {
    return step.address.value_or(s_.link().addressIndex);
}

std::vector<int> Runner::pumpsOfWait(const Step& step) const {
    return step.address ? PumpsOf(*step.address, named_) : addressed_;
}

bool Runner::check(const std::vector<Step>& steps, const std::string& where) {
    Module& m = s_.module();
    bool good = true;
    name(steps);
    for (const Step& step : steps) {
        const std::string place = where + ":" + std::to_string(step.line) + ": " + step.text;
        const bool waitsForAll =
            addressOf(step) == AllPumpsAddressIndex &&
            (step.kind == Step::Kind::WaitReady || (step.kind == Step::Kind::Command && o_.waitReady));
        if (step.kind != Step::Kind::Pause && waitsForAll && named_.empty()) {
            Tell(place +
                 "\n  no pump to wait for: ALL names none; address the pumps singly in the "
                 "sequence, or run it with --no-wait");
            good = false;
        }
        if (step.kind != Step::Kind::Command) continue;
        m.CmdString = step.command;
        m.ErrNum = 0;
        ParseCommand(m);
        if (m.ErrNum == 0) continue;
        good = false;
        Tell(place);
        m.form.setText(Control::text1, step.command);
        cmdParse_Click(m);  // the checker's message, as Parse's box tells it
    }
    return good;
}

void Runner::name(const std::vector<Step>& steps) {
    for (const Step& step : steps)
        if (step.kind != Step::Kind::Pause) AddPumps(named_, PumpsOf(addressOf(step), {}));
}

int Runner::run(const std::vector<Step>& steps) {
    name(steps);
    s_.catchInterrupts();
    runStart_ = s_.now();
    steps_ = static_cast<int>(steps.size());
    int first = kDone;
    for (const Step& step : steps) {
        ++step_;
        begin(step);
        int status = kDone;
        switch (step.kind) {
            case Step::Kind::Command:
                status = command(step);
                break;
            case Step::Kind::WaitReady:
                status = waitReady(pumpsOfWait(step), stepStart_ + o_.stepTimeout);
                break;
            case Step::Kind::Pause:
                status = pause(step.seconds);
                break;
        }
        if (status == kInterrupted || s_.interrupted()) return stopEverything();
        if (step.kind != Step::Kind::Command && o_.json) printWait(step, status);
        end(status);
        if (first == kDone) first = status;
        if (status != kDone && (o_.stopAtFailure || status == kPortFailed)) return first;
        if (OutputLost()) return first;  // nothing more could be reported
    }
    return first;
}

int Runner::command(const Step& step) {
    const int address = addressOf(step);
    AddPumps(sentTo_, {address});
    const Answer answer = s_.send(step.command, address);
    const std::vector<int> pumps = PumpsOf(address, named_);
    AddPumps(addressed_, pumps);
    int status = answer.exitStatus;
    QJsonValue readyMs;
    if (status == kDone && o_.waitReady && !s_.interrupted()) {
        status = waitReady(pumps, answer.exchange.sentAt + o_.stepTimeout);
        if (status == kDone) readyMs = Milliseconds(s_.now() - answer.exchange.sentAt);
    }
    QJsonObject more{{"exitStatus", status}};
    if (o_.waitReady) more.insert("readyMs", readyMs);
    if (step.line > 0) {
        more.insert("step", step_);
        more.insert("line", step.line);
        more.insert("address", QString::fromStdString(AddressName(address)));
    }
    // Nothing was sent when the port could not be opened: there is no answer to print.
    clearBusy();
    if (status != kPortFailed) PrintAnswer(answer, o_.json, more);
    return status;
}

int Runner::waitReady(const std::vector<int>& pumps, double deadline) {
    for (int pump : pumps) {
        for (;;) {
            const Answer poll = s_.send("?", pump);
            if (s_.interrupted()) return kInterrupted;
            if (poll.exitStatus != kDone) return poll.exitStatus;
            if (poll.statusChar != "@") break;
            busy(pump, poll.data);
            if (s_.now() >= deadline) {
                Tell("Pump " + AddressName(pump) + " is still busy (position " + poll.data + ") after " +
                     Seconds(o_.stepTimeout) + ": the step ran out of time (--step-timeout)");
                return kStillBusy;
            }
            if (pause(kPollSeconds) == kInterrupted) return kInterrupted;
        }
    }
    return kDone;
}

int Runner::pause(double seconds) {
    s_.pause(seconds);
    return s_.interrupted() ? kInterrupted : kDone;
}

int Runner::stopEverything() {
    clearBusy();
    Tell("Interrupted: sending Stop to every pump addressed");
    for (int address : sentTo_) {
        const Answer a = s_.stop(address);
        std::string told =
            "Stop sent to pump" + std::string(a.group ? "s " : " ") + AddressName(address) + ": ";
        if (a.group)
            told += "no reply expected";
        else if (a.exitStatus == kNoReply)
            told += "no reply";
        else
            told += a.status.empty() ? a.data : a.status;
        Tell(told);
    }
    return kInterrupted;
}

void Runner::begin(const Step& step) {
    stepStart_ = s_.now();
    stepText_ = "[" + std::to_string(step_) + "/" + std::to_string(steps_) + "] " +
                (step.line > 0 ? "line " + std::to_string(step.line) + ": " : std::string()) + step.text;
    if (o_.progress) Tell(stepText_);
}

void Runner::busy(int pump, const std::string& position) {
    if (!terminal_) return;
    busyShown_ = true;
    TellInPlace(stepText_ + ": pump " + AddressName(pump) + " busy, position " + position + ", " +
                Seconds(s_.now() - stepStart_));
}

void Runner::printWait(const Step& step, int status) const {
    const QJsonObject object{{"step", step_},
                             {"line", step.line},
                             {"wait", step.kind == Step::Kind::WaitReady ? "ready" : "pause"},
                             {"ms", Milliseconds(s_.now() - stepStart_)},
                             {"exitStatus", status}};
    PrintLine(JsonLine(object));
}

void Runner::clearBusy() {
    if (std::exchange(busyShown_, false)) TellInPlace("");
}

void Runner::end(int status) {
    if (!o_.progress) return;
    clearBusy();
    Tell(stepText_ + (status == kDone ? ": done" : ": failed (exit status " + std::to_string(status) + ")") +
         " after " + Seconds(s_.now() - stepStart_) + ", " + Seconds(s_.now() - runStart_) + " into the run");
}

}  // namespace zr::cli

#pragma once

#include <string>
#include <vector>

#include "cli/sequence.h"
#include "cli/session.h"

namespace zr::cli {

struct RunOptions {
    bool waitReady = true;    // after each command its pumps are polled until they are ready
    double stepTimeout = 60;  // seconds a step may keep its pumps busy
    bool json = false;
    bool progress = false;      // each step's start and end on stderr
    bool stopAtFailure = true;  // else a failed command is told and the next one follows
};

// Carries out steps over a session. A command is sent; then, with waitReady, each pump it
// reached is polled with "?" until its status reads ready ("`"), within stepTimeout. "wait
// ready" polls every pump the run has addressed so far (or those of its own address); a pause
// lets the time pass. Each command's answer goes to stdout when its step is over. Ctrl-C or
// SIGTERM sends Stop to every address a command went to, reads the acknowledgements and ends
// the run with kInterrupted, so that no pump keeps moving because its script was stopped.
class Runner {
public:
    Runner(Session& session, const RunOptions& options);

    // Every command checked before anything is sent: a failing one is told on stderr with
    // `where` and its line, and the checker's message. Also refused: a wait for ALL when the
    // steps name no pump. True when all pass.
    bool check(const std::vector<Step>& steps, const std::string& where);

    // The exit status: kDone, the first failure's, or kInterrupted.
    int run(const std::vector<Step>& steps);

private:
    int command(const Step& step);
    int waitReady(const std::vector<int>& pumps, double deadline);
    int pause(double seconds);
    int stopEverything();
    int addressOf(const Step& step) const;
    std::vector<int> pumpsOfWait(const Step& step) const;
    void name(const std::vector<Step>& steps);
    void begin(const Step& step);
    void end(int status);
    void printWait(const Step& step, int status) const;
    void busy(int pump, const std::string& position);
    void clearBusy();

    Session& s_;
    RunOptions o_;
    std::vector<int> named_;      // the single pumps the steps name: those ALL stands for
    std::vector<int> sentTo_;     // every address a command went to, in the order first used
    std::vector<int> addressed_;  // the single pumps those reach
    bool terminal_ = false;       // stderr is a terminal: the busy line is rewritten in place
    bool busyShown_ = false;      // and it is showing
    int step_ = 0, steps_ = 0;
    std::string stepText_;
    double runStart_ = 0, stepStart_ = 0;
};

}  // namespace zr::cli

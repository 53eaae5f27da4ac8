// pumpsim: a bus of simulated pumps on a pseudo-terminal.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "line_server.h"
#include "options.h"
#include "pseudo_terminal.h"

namespace {

int gStopPipe[2] = {-1, -1};

void OnStopSignal(int) {
    const char byte = 0;
    [[maybe_unused]] const ssize_t n = write(gStopPipe[1], &byte, 1);
}

bool CatchStopSignals(std::string& error) {
    if (pipe(gStopPipe) != 0) {
        error = "pipe failed";
        return false;
    }
    fcntl(gStopPipe[1], F_SETFL, O_NONBLOCK);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    return true;
}

int Fail(const std::string& error, int code) {
    std::fprintf(stderr, "pumpsim: %s\n", error.c_str());
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pumpsim;
    std::string error;
    const auto options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) return Fail(error + "\n" + kUsage, 2);
    if (options->help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options->version) {
        std::puts("pumpsim " PUMPSIM_VERSION);
        return 0;
    }
    auto terminal = PseudoTerminal::Open(error);
    if (!terminal) return Fail(error, 1);
    const std::optional<SymbolicLink> link =
        options->link ? SymbolicLink::Create(*options->link, terminal->slaveName(), error) : std::nullopt;
    if (options->link && !link) return Fail(error, 1);
    if (!CatchStopSignals(error)) return Fail(error, 1);

    std::printf("pumpsim: listening on %s\n", terminal->slaveName().c_str());
    if (link) std::printf("pumpsim: linked as %s\n", options->link->c_str());
    std::fflush(stdout);

    LineServer(*options, terminal->master(), gStopPipe[0]).Run();
    return 0;
}

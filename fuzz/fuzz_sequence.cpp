// Sequence files read into steps: every line is a step, a problem or skipped, once, in order;
// a pause is a time a timer can hold (finite, from none to a day) and belongs to no pump.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/sequence.h"
#include "require.h"

namespace {

bool Blank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const zr::cli::Sequence sequence = zr::cli::ReadSequence(text);
    int last = 0;
    for (const zr::cli::Step& step : sequence.steps) {
        Require(step.line > last, "steps come in the order of their lines, one a line");
        last = step.line;
        Require(!step.text.empty() && !Blank(step.text.front()) && !Blank(step.text.back()),
                "a step's text trimmed");
        if (step.kind == zr::cli::Step::Kind::Pause) {
            Require(std::isfinite(step.seconds) && step.seconds >= 0 && step.seconds <= zr::cli::LongestPause,
                    "a pause from none to a day");
            Require(!step.address, "a pause has no address");
        }
        if (step.kind == zr::cli::Step::Kind::Command)
            Require(!step.command.empty(), "a command is not empty");
    }
    for (const zr::cli::Sequence::Problem& problem : sequence.problems)
        Require(problem.line >= 1 && !problem.text.empty(), "a problem has its line and its reason");
    Require(sequence.steps.size() + sequence.problems.size() <= text.size(), "no more steps than characters");
    for (bool unitRequired : {false, true})
        if (const std::optional<double> seconds = zr::cli::ReadDuration(text, unitRequired))
            Require(std::isfinite(*seconds) && *seconds >= 0, "a time is finite and not negative");
    return 0;
}

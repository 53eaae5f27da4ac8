#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zr::cli {

// One step of a sequence: a command to send, a wait until pumps are ready, or a pause.
struct Step {
    enum class Kind { Command, WaitReady, Pause };
    Kind kind = Kind::Command;
    int line = 0;      // its line in the sequence file, from 1; 0 for a command given as an argument
    std::string text;  // as written, for the progress lines
    // An index of the address list; none: the call's --address for a command, and for a wait
    // every pump the run has addressed so far.
    std::optional<int> address;
    std::string command;
    double seconds = 0;  // a pause's length
};

// A step that sends `command` to the call's --address.
Step CommandStep(const std::string& command, int line);

// A sequence as read from its text, and what is wrong with those of its lines that are no step.
struct Sequence {
    struct Problem {
        int line;
        std::string text;
    };
    std::vector<Step> steps;
    std::vector<Problem> problems;
};

// One step a line: "[ADDRESS] COMMAND", "[ADDRESS] wait ready", "wait 500ms" (or "2s",
// "1.5s", up to LongestPause); blank lines and lines starting with "#" are skipped. A line with a blank in it
// starts with its address (an item of the address list, either case). The commands are taken
// as they are: checking them is the checker's.
Sequence ReadSequence(const std::string& text);

// The longest pause a sequence may hold, in seconds: a day.
inline constexpr double LongestPause = 86400;

// A length of time: a number of seconds, or with "ms" or "s" after it ("500ms", "2s", "60");
// none for a negative number, infinity or NaN.
std::optional<double> ReadDuration(const std::string& text, bool unitRequired);

}  // namespace zr::cli

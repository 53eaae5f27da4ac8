#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace pumpsim {

// One command of a command string, with what followed its letter.
struct Command {
    char letter = 0;
    std::optional<int32_t> value;   // the first number
    std::optional<int> variable;    // "@n": the number is read from variable n when it runs
    char mark = 0;                  // a sign or selector mark, the "~" letter, the "f" extra
    std::optional<int32_t> second;  // the number after "=" or ","
    char label = 0;                 // a label letter
};

// The commands of a whole string, or the error letter that rejects it:
// "b" for a character that is no command, "c" for a missing or out-of-range operand.
struct Scan {
    std::vector<Command> commands;
    char error = 0;
};

Scan ScanCommands(std::string_view text);

// Inclusive range of the plain number a letter takes, when it takes one.
struct Range {
    int32_t lo;
    int32_t hi;
};
std::optional<Range> NumberRange(char letter);

}  // namespace pumpsim

#pragma once

#include <cstdint>
#include <string_view>

#include "shared/module.h"

namespace zr {

// Where the upper end of a number's range comes from: a constant of the table, or one of the
// two limits that start-up puts into the module.
enum class Limit : uint8_t { Constant, MaxPosition, MaxValvePort };

// Inclusive range of a number argument.
struct NumberRange {
    int16_t min = 0;
    int32_t max = 0;
    Limit limit = Limit::Constant;
};

// What follows a run-mode command character.
enum class RunShape : uint8_t {
    Nothing,        // no argument
    Number,         // a number in `first`
    NumberAnyChar,  // a number in `first`, then one character of any kind
    Label,          // a label letter
    Branch,         // "<" or ">" and a number in `first`, or a selector number; then a label
    Counter,        // a number, "+"/"-" and a number, "<"/"="/">" a number and a label (all
                    // `first`), or "^" and a number in `second`
    Valve,          // an optional "-", then a number in `first`
    Store,          // "<"/">" a number and a label; or an optional "#", a number and an
                    // optional "," and a second number; every number in `first`
    Selector,       // an optional "#", then a selector number
    Query,          // "?" (left for the next command), or a number in `first` and a label
    Compare,        // "=", "<" or ">", a number in `first` and a label
    Pair,           // a number in `first`, then optionally "=" and a number in `second`
    OtherMode,      // a command of immediate-mode strings
};

// What follows an immediate-mode command character.
enum class ImmediateShape : uint8_t {
    Nothing,         // no argument
    Number,          // a number in `range`, required
    OptionalNumber,  // a number in `range` when a digit follows
    Letter,          // one letter of ImmediateLetters when a character follows
    OtherMode,       // a command of run-mode strings
};

struct RunCommand {
    std::string_view chars;  // every character that behaves alike
    RunShape shape;
    NumberRange first;
    NumberRange second;
};

struct ImmediateCommand {
    std::string_view chars;
    ImmediateShape shape;
    NumberRange range;
};

// First characters that make a string an immediate-mode string ("k" has a rule of its own).
inline constexpr std::string_view ImmediateStarters = "FQqrTX?$%&*!~";

// The letters that may follow the immediate-mode "~".
inline constexpr std::string_view ImmediateLetters = "AaBbHhIiLlPpSsVv";

// The range of a selector number, and the values inside it that select nothing.
inline constexpr NumberRange SelectorRange{1, 28};
bool IsSelectorGap(int64_t value);

// The row of a command character; nullptr when the character is no command of either mode.
const RunCommand* FindRunCommand(char c);
const ImmediateCommand* FindImmediateCommand(char c);

// Sets ArgMin and ArgMax for the next number, reading the module's limits where the range
// names one.
void SetRange(Module& m, const NumberRange& range);

}  // namespace zr

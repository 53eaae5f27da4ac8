#include "cmdlang/command_table.h"

#include <array>

namespace zr {

namespace {

constexpr NumberRange Position{0, 0, Limit::MaxPosition};
constexpr NumberRange Byte{0, 255};
constexpr NumberRange Word{0, 65535};

constexpr RunCommand RunCommands[] = {
    {"AaDdPp", RunShape::Number, Position, {}},
    {"cV", RunShape::Number, {40, 10000}, {}},
    {"v", RunShape::Number, {40, 1000}, {}},
    {"f", RunShape::NumberAnyChar, {1, 9}, {}},
    {"G", RunShape::Number, {0, 30000}, {}},
    {"h", RunShape::Number, {1, 3}, {}},
    {"i", RunShape::Branch, Byte, {}},
    {"J", RunShape::Label, {}, {}},
    {"j", RunShape::Number, {1, 99}, {}},
    {"K", RunShape::Number, {0, 1000}, {}},
    {"k", RunShape::Counter, Word, {1, 8}},
    {"LlS", RunShape::Number, {1, 20}, {}},
    {"M", RunShape::Number, {1, 60000}, {}},
    {"m", RunShape::Number, {0, 3}, {}},
    {"o", RunShape::Valve, {1, 0, Limit::MaxValvePort}, {}},
    {"s", RunShape::Store, Byte, {}},
    {"t", RunShape::Number, {1, 4}, {}},
    {"Uu", RunShape::Selector, {}, {}},
    {"WYZ", RunShape::Number, {4, 5}, {}},
    {"x", RunShape::Query, {1, 26}, {}},
    {"y", RunShape::Compare, {0, 48000}, {}},
    {"z", RunShape::Pair, {1, 8}, {0, 56535}},
    {"BgHIOR", RunShape::Nothing, {}, {}},
    {"EeFQqrTX?$%&*!~", RunShape::OtherMode, {}, {}},
};

constexpr ImmediateCommand ImmediateCommands[] = {
    {"FQTX$%&*!k", ImmediateShape::Nothing, {}},
    {"qrEe", ImmediateShape::Number, {1, 99}},
    {"?", ImmediateShape::OptionalNumber, {1, 30}},
    {"~", ImmediateShape::Letter, {}},
    {"AaBcDdfgGHIiJjKLlMmOoPpRSsUuVvWxYyZz:", ImmediateShape::OtherMode, {}},
};

// Row number + 1 for every character code, 0 for a character that is no command.
template <typename Row, std::size_t N>
constexpr std::array<uint8_t, 256> IndexRows(const Row (&rows)[N]) {
    std::array<uint8_t, 256> index{};
    for (std::size_t row = 0; row < N; ++row)
        for (char c : rows[row].chars) index[static_cast<unsigned char>(c)] = static_cast<uint8_t>(row + 1);
    return index;
}

constexpr auto RunIndex = IndexRows(RunCommands);
constexpr auto ImmediateIndex = IndexRows(ImmediateCommands);

template <typename Row, std::size_t N>
const Row* Find(const Row (&rows)[N], const std::array<uint8_t, 256>& index, char c) {
    const uint8_t row = index[static_cast<unsigned char>(c)];
    return row == 0 ? nullptr : &rows[row - 1];
}

}  // namespace

bool IsSelectorGap(int64_t value) {
    return (value >= 4 && value <= 10) || value == 19 || value == 20;
}

const RunCommand* FindRunCommand(char c) {
    return Find(RunCommands, RunIndex, c);
}

const ImmediateCommand* FindImmediateCommand(char c) {
    return Find(ImmediateCommands, ImmediateIndex, c);
}

void SetRange(Module& m, const NumberRange& range) {
    m.ArgMin = range.min;
    switch (range.limit) {
        case Limit::Constant:
            m.ArgMax = range.max;
            break;
        case Limit::MaxPosition:
            m.ArgMax = m.MaxPosition;
            break;
        case Limit::MaxValvePort:
            m.ArgMax = m.MaxValvePort;
            break;
    }
}

}  // namespace zr

#pragma once

#include <cstdint>
#include <string>

namespace zr {

// One line of a command-list file, cut into its fixed columns (counted from 1):
// 1-40 display text, 41-46 template, 51-54 minimum, 56-60 maximum, 62 indirect flag,
// 66 to the end description. A line shorter than a field leaves that field short or empty.
struct CommandListLine {
    std::string display;
    std::string templ;
    std::string minimumField;
    std::string maximumField;
    std::string flag;
    std::string description;

    // The fields read as numbers: rounded half to even, the minimum kept within 16 bits and
    // the maximum within 32 bits (an empty or non-numeric field is 0).
    int16_t minimum() const;
    int32_t maximum() const;
    // The numeric argument may also be given as an indirect variable "@n".
    bool indirect() const { return flag == "@"; }
};

constexpr std::size_t DisplayTextWidth = 40;

CommandListLine ReadCommandListLine(const std::string& line);

}  // namespace zr

#include "cmdlist/command_list_line.h"

#include <cmath>
#include <limits>

#include "shared/numbers.h"

namespace zr {

namespace {

// Columns `first` to `last` (1-based, inclusive) of `line`, or 0 to the end when last is 0.
std::string Columns(const std::string& line, std::size_t first, std::size_t last = 0) {
    if (line.size() < first) return {};
    const std::size_t count = last == 0 ? std::string::npos : last - first + 1;
    return line.substr(first - 1, count);
}

}  // namespace

int16_t CommandListLine::minimum() const {
    return RoundToInt16(NumericValue(minimumField));
}

int32_t CommandListLine::maximum() const {
    const double value = RoundHalfEven(NumericValue(maximumField));
    if (std::isnan(value)) return 0;
    if (value >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

CommandListLine ReadCommandListLine(const std::string& line) {
    CommandListLine fields;
    fields.display = Columns(line, 1, DisplayTextWidth);
    fields.templ = Columns(line, 41, 46);
    fields.minimumField = Columns(line, 51, 54);
    fields.maximumField = Columns(line, 56, 60);
    fields.flag = Columns(line, 62, 62);
    fields.description = Columns(line, 66);
    return fields;
}

}  // namespace zr

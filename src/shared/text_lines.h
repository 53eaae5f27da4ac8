#pragma once

#include <string>
#include <vector>

namespace zr {

// Splits a file's text into lines. A line ends at a carriage return; a line feed right after
// it belongs to the same line end. A last line without a carriage return is a line too; an
// empty text has no lines.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace zr

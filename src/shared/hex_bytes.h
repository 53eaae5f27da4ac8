#pragma once

#include <string>
#include <string_view>

namespace zr {

// The bytes as upper-case two-digit hexadecimal numbers separated by blanks: "2F 31 3F 0D".
std::string HexBytes(std::string_view bytes);

}  // namespace zr

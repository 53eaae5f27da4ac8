#pragma once

#include <string>
#include <string_view>

namespace pumpsim {

// "2F 31 3F 0D": the bytes as upper-case hex pairs separated by blanks.
std::string HexBytes(std::string_view bytes);

}  // namespace pumpsim

#pragma once

#include <cstdint>
#include <string>

namespace zr {

// The sentence for a reply to "~" + argument. The whole argument names the setting, one letter
// in either case; any other argument gives "".
std::string ConfigReport(const std::string& argument, const std::string& replyData);

// The name of valve type n; "unknown" outside 0..11.
std::string ValveTypeName(int16_t n);

}  // namespace zr

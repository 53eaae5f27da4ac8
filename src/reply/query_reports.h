#pragma once

#include <string>

namespace zr {

// The sentence for a reply to "?" + argument: the argument's numeric value, rounded, picks the
// query (0 for an empty argument); a query outside 0..30 gives "illegal command argument".
std::string QueryReport(const std::string& argument, const std::string& replyData);

}  // namespace zr

#pragma once

#include <string>

namespace zr::test {

// A command-list line in the fixed columns: display text 1-40, template 41-46, minimum
// 51-54, maximum 56-60, flag 62, description from 66.
std::string ListLine(const std::string& display, const std::string& templ, const std::string& minimum = "",
                     const std::string& maximum = "", const std::string& flag = " ",
                     const std::string& description = "");

// Writes `content` to `folder`/`name` byte for byte, replacing any file there.
void WriteFile(const std::string& folder, const std::string& name, const std::string& content);

}  // namespace zr::test

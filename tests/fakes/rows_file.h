#pragma once

#include <string>
#include <vector>

namespace zr::test {

// Reads a table of test rows: one row a line, columns separated by `separator` and padded for
// the eye (blanks around them are dropped, \x20 keeps one); lines that are blank or start with
// "#" are skipped. In a column, \t, \r, \n, \\ and \xHH stand for a tab, a carriage return, a
// line feed, a backslash and the byte HH. Throws std::runtime_error when the file cannot be
// read, so that a missing table fails the test instead of passing it.
std::vector<std::vector<std::string>> ReadRows(const std::string& path, char separator = '\t');

}  // namespace zr::test

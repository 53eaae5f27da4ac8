#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zr {

// The text of programs.txt, line by line. An entry line is a name, a semicolon and a command
// string (which may hold further semicolons); an empty line, or one that starts with a double
// quote, holds no entry. Every line written ends with a carriage return and a line feed.
inline const std::string ProgramLineEnd = "\r\n";

// The name of a line: "" for a line without an entry, otherwise everything before the first
// semicolon, or the whole line when it has none.
std::string_view ProgramNameOf(std::string_view line);

// The command string of the first entry named `name`. Only the first 400 characters of a
// line are searched for its semicolon: a line without one there is named by those 400
// characters and its command string starts after the 401st. An entry with nothing after its
// name reads as ".". Nothing when no line has that name.
std::optional<std::string> FindProgram(const std::vector<std::string>& lines, const std::string& name);

// The file's new text after every entry named `name` has been dropped, with `newEntry` (a
// whole line with its line end) put in their place at the end, or nothing for a delete.
// The text starts with the line `""`, drops empty lines, quoted lines and entries without a
// name, and ends with an empty line (two after a new entry). A line that is the bare name
// ends the search: the lines after it are kept, after the new entry, whatever their names.
std::string RewriteProgramText(const std::vector<std::string>& lines, const std::string& name,
                               std::optional<std::string_view> newEntry);

}  // namespace zr

#pragma once

#include "shared/module.h"

namespace zr {

// programs.txt: names, retrieval, replace, delete, append, entry checks. Each procedure reads
// the file afresh through m.files; a missing file raises error 4 and a file that cannot be
// read or written is reported by name and reason, both in the store's error box.

// WorkText := the name of the file line held in WorkText ("" for a line without an entry).
void ExtractProgramName(Module& m);
// Lists the stored names, in file order, in cboFile0 (ProgMode "save") or cboFile1
// ("retrieve", "delete"); both lists are emptied first.
void LoadProgramNames(Module& m);
// CmdString := the command string stored under ProgName; error 5, and CmdString unchanged,
// when there is none.
void RetrieveProgram(Module& m);
// Acts on ProgName, CmdString and ProgMode: "replace" and "delete" rewrite the file without
// the entries of that name (a replace adding the new entry at the end), "append" adds the
// entry at the end. After a rewrite CmdString is the text of text1 again, so that the next
// Send sends what the command line shows.
void StoreProgram(Module& m);
// ErrNum := 10 for a name that is empty or starts with a character outside "!".."\x7f" or with
// a double quote (a line the file reader skips),
// then 11 for a command line (text1) that is empty or starts with a blank or control code.
void CheckProgramEntry(Module& m);

}  // namespace zr

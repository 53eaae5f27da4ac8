#pragma once

#include "shared/module.h"

namespace zr {

// Builds the command of the line selected in lstCmd from its template, asking for its
// arguments in input boxes, and leaves it in WorkText ("" when nothing could be composed).
void InsertCommand(Module& m);
// The composed command at the end of text1, or at its caret.
void cmdAddCmd_Click(Module& m);
void cmdInsert_Click(Module& m);
// The last reply's data, without its last character, into text1 for editing.
void cmdEdit_Click(Module& m);

}  // namespace zr

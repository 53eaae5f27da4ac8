#pragma once

#include <QString>

namespace zr::test {

// Adds one QtTest row per line of a table file, in a column "row" of type QByteArrayList.
// Fields are separated by "|" and trimmed; \r \n \t \\ and \xHH stand for those bytes (\x20
// keeps a blank at a field's edge, \x7c is a "|"). The first field names the row. Blank lines
// and lines starting with "#" are skipped.
void AddTableRows(const QString& path);

}  // namespace zr::test

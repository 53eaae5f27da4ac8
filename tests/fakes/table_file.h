#pragma once

#include <QByteArrayList>
#include <QString>

namespace zr::test {

// The rows of a table file, one a line: fields are separated by "|" and trimmed; \r, \n, \t,
// \\ and \xHH stand for those bytes (\x20 keeps a blank at a field's edge, \x7c is a "|"). Blank
// lines and lines starting with "#" are skipped. Throws std::runtime_error when the file
// cannot be read, so that a missing table fails the test instead of passing it.
QList<QByteArrayList> TableRows(const QString& path);

// Adds one QtTest row per row of a table file, in a column "row" of type QByteArrayList; the
// first field names the row.
void AddTableRows(const QString& path);

}  // namespace zr::test

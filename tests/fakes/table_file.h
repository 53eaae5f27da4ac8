#pragma once

#include <QRegularExpression>
#include <QString>
#include <QTest>

#include "fakes/rows_file.h"

namespace zr::test {

// x{n} in a field stands for n characters x.
inline QString ExpandedRepeats(QString text) {
    static const QRegularExpression repeat(R"((.)\{(\d+)\})");
    for (QRegularExpressionMatch m; (m = repeat.match(text)).hasMatch();)
        text.replace(m.capturedStart(), m.capturedLength(), m.captured(1).repeated(m.captured(2).toInt()));
    return text;
}

// Adds one QtTest row per line of a table file, in a column "row" of type QByteArrayList.
// Fields are separated by "|" and trimmed; \r \n \t \\ and \xHH stand for those bytes (\x20
// keeps a blank at a field's edge, \x7c is a "|"). The first field names the row. Blank lines
// and lines starting with "#" are skipped.
inline void AddTableRows(const QString& path) {
    QTest::addColumn<QByteArrayList>("row");
    for (const std::vector<std::string>& row : ReadRows(path.toStdString(), '|')) {
        QByteArrayList fields;
        for (const std::string& field : row) fields << QByteArray::fromStdString(field);
        QTest::newRow(fields.first().constData()) << fields;
    }
}

}  // namespace zr::test

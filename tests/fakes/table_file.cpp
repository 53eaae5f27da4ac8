#include "fakes/table_file.h"

#include <QtTest>

#include "fakes/rows_file.h"

namespace zr::test {

QList<QByteArrayList> TableRows(const QString& path) {
    QList<QByteArrayList> rows;
    for (const std::vector<std::string>& row : ReadRows(path.toStdString(), '|')) {
        QByteArrayList& fields = rows.emplace_back();
        for (const std::string& field : row) fields << QByteArray::fromStdString(field);
    }
    return rows;
}

void AddTableRows(const QString& path) {
    QTest::addColumn<QByteArrayList>("row");
    for (const QByteArrayList& fields : TableRows(path)) QTest::newRow(fields.first().constData()) << fields;
}

}  // namespace zr::test

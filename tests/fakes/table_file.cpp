#include "fakes/table_file.h"

#include <QtTest>

#include "fakes/rows_file.h"

namespace zr::test {

void AddTableRows(const QString& path) {
    QTest::addColumn<QByteArrayList>("row");
    for (const std::vector<std::string>& row : ReadRows(path.toStdString(), '|')) {
        QByteArrayList fields;
        for (const std::string& field : row) fields << QByteArray(field.data(), qsizetype(field.size()));
        QTest::newRow(fields.first().constData()) << fields;
    }
}

}  // namespace zr::test

#include "fakes/table_file.h"

#include <QFile>
#include <QtTest>

namespace zr::test {

namespace {

QByteArray Unescaped(const QByteArray& field) {
    QByteArray bytes;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            bytes += field[i];
            continue;
        }
        const char c = field[++i];
        if (c == 'x') {
            bytes += static_cast<char>(field.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else {
            bytes += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
        }
    }
    return bytes;
}

}  // namespace

void AddTableRows(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read the table file %s", qPrintable(path));
    QTest::addColumn<QByteArrayList>("row");
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.trimmed().isEmpty() || line.startsWith('#')) continue;
        QByteArrayList fields;
        for (const QByteArray& field : line.split('|')) fields << Unescaped(field.trimmed());
        QTest::newRow(fields.first().constData()) << fields;
    }
}

}  // namespace zr::test

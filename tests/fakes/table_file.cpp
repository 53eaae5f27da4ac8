#include "fakes/table_file.h"

#include <QtTest>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace zr::test {

namespace {

QByteArray Unescaped(const std::string& field) {
    QByteArray text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            text += field[i];
        } else if (field[++i] == 'x' && i + 2 < field.size()) {
            text += static_cast<char>(std::stoi(field.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            text += field[i] == 't' ? '\t' : field[i] == 'r' ? '\r' : field[i] == 'n' ? '\n' : field[i];
        }
    }
    return text;
}

std::string Trimmed(const std::string& field) {
    const std::size_t first = field.find_first_not_of(' ');
    return first == std::string::npos ? "" : field.substr(first, field.find_last_not_of(' ') - first + 1);
}

}  // namespace

QList<QByteArrayList> TableRows(const QString& path) {
    std::ifstream file(path.toStdString(), std::ios::binary);
    if (!file) throw std::runtime_error("cannot read the table file " + path.toStdString());
    QList<QByteArrayList> rows;
    for (std::string line; std::getline(file, line);) {
        if (Trimmed(line).empty() || line[0] == '#') continue;
        QByteArrayList& fields = rows.emplace_back();
        std::istringstream columns(line + '|');
        for (std::string field; std::getline(columns, field, '|');) fields << Unescaped(Trimmed(field));
    }
    return rows;
}

void AddTableRows(const QString& path) {
    QTest::addColumn<QByteArrayList>("row");
    for (const QByteArrayList& fields : TableRows(path)) QTest::newRow(fields.first().constData()) << fields;
}

}  // namespace zr::test

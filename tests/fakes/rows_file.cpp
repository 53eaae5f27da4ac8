#include "fakes/rows_file.h"

#include <fstream>
#include <stdexcept>

namespace zr::test {

namespace {

std::string Unescaped(const std::string& column) {
    std::string text;
    for (std::size_t i = 0; i < column.size(); ++i) {
        if (column[i] != '\\' || i + 1 == column.size()) {
            text += column[i];
            continue;
        }
        const char kind = column[++i];
        if (kind == 'x' && i + 2 < column.size()) {
            text += static_cast<char>(std::stoi(column.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            text += kind == 't' ? '\t' : kind == 'r' ? '\r' : kind == 'n' ? '\n' : kind;
        }
    }
    return text;
}

std::string Trimmed(const std::string& column) {
    const std::size_t first = column.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return column.substr(first, column.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::vector<std::vector<std::string>> ReadRows(const std::string& path, char separator) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read the rows file " + path);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(file, line);) {
        const bool padded = separator != '\t';
        if ((padded ? Trimmed(line) : line).empty() || line[0] == '#') continue;
        std::vector<std::string> row;
        for (std::size_t from = 0;;) {
            const std::size_t end = line.find(separator, from);
            const std::string column = line.substr(from, end - from);
            row.push_back(Unescaped(padded ? Trimmed(column) : column));
            if (end == std::string::npos) break;
            from = end + 1;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace zr::test

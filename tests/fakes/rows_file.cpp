#include "fakes/rows_file.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zr::test {

namespace {

std::string Unescaped(const std::string& column) {
    std::string text;
    for (std::size_t i = 0; i < column.size(); ++i) {
        if (column[i] != '\\' || i + 1 == column.size()) {
            text += column[i];
        } else if (column[++i] == 'x' && i + 2 < column.size()) {
            text += static_cast<char>(std::stoi(column.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            text += column[i] == 't' ? '\t' : column[i] == 'r' ? '\r' : column[i] == 'n' ? '\n' : column[i];
        }
    }
    return text;
}

std::string Trimmed(const std::string& column) {
    const std::size_t first = column.find_first_not_of(' ');
    return first == std::string::npos ? "" : column.substr(first, column.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::vector<std::vector<std::string>> ReadRows(const std::string& path, char separator) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read the rows file " + path);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(file, line);) {
        if (Trimmed(line).empty() || line[0] == '#') continue;
        std::vector<std::string> row;
        std::istringstream columns(line + separator);
        for (std::string column; std::getline(columns, column, separator);)
            row.push_back(Unescaped(Trimmed(column)));
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace zr::test

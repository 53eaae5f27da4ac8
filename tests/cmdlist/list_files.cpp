#include "list_files.h"

#include <QtTest>
#include <fstream>

namespace zr::test {

namespace {

std::string Padded(const std::string& text, std::size_t width, bool right = false) {
    if (text.size() >= width) return text.substr(0, width);
    const std::string blanks(width - text.size(), ' ');
    return right ? blanks + text : text + blanks;
}

}  // namespace

std::string ListLine(const std::string& display, const std::string& templ, const std::string& minimum,
                     const std::string& maximum, const std::string& flag, const std::string& description) {
    return Padded(display, 40) + Padded(templ, 6) + "    " + Padded(minimum, 4, true) + " " +
           Padded(maximum, 5, true) + " " + Padded(flag, 1) + "   " + description;
}

void WriteFile(const std::string& folder, const std::string& name, const std::string& content) {
    std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
    out << content;
    QVERIFY(out.good());
}

}  // namespace zr::test

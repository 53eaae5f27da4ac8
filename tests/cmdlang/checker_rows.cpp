#include "checker_rows.h"

#include <QtTest>

namespace zr::test {

namespace {

QByteArray Joined(std::initializer_list<std::string_view> pieces) {
    QByteArray form;
    for (std::string_view piece : pieces) form += QByteArray(piece.data(), qsizetype(piece.size())) + "   ";
    return form;
}

QByteArray Printable(const QByteArray& text) {
    if (text.size() > 40) return text.left(12) + "...(" + QByteArray::number(text.size()) + " characters)";
    QByteArray shown;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        shown += (u < 0x21 || u > 0x7e) ? "\\x" + QByteArray::number(u, 16) : QByteArray(1, c);
    }
    return shown.isEmpty() ? QByteArray("(empty)") : shown;
}

void Row(const QByteArray& text, int err, int pos, const QByteArray& form) {
    QTest::newRow(Printable(text).constData()) << text << err << pos << form;
}

}  // namespace

void Passes(const QByteArray& text, std::initializer_list<std::string_view> pieces) {
    Row(text, 0, 0, Joined(pieces));
}

void Fails(const QByteArray& text, int err, int pos, std::initializer_list<std::string_view> pieces) {
    Row(text, err, pos, Joined(pieces) + " Error");
}

void Overruns(const QByteArray& text, int pos, const QByteArray& form) { Row(text, 6, pos, form); }

}  // namespace zr::test

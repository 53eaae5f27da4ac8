#pragma once

#include <QByteArray>
#include <initializer_list>
#include <string_view>

// Rows of the checker's table test: the string, the error number, the position reported and
// the parsed form. A parsed form is written as the pieces each command consumed; the three
// blanks after each piece and the error marker are added here.
namespace zr::test {

void Passes(const QByteArray& text, std::initializer_list<std::string_view> pieces);
void Fails(const QByteArray& text, int err, int pos, std::initializer_list<std::string_view> pieces);
// A command that looked past the end of the string: error 6, the form as it stood.
void Overruns(const QByteArray& text, int pos, const QByteArray& form);

}  // namespace zr::test

#pragma once

#include <QJsonObject>
#include <QString>
#include <string>

#include "cli/session.h"

namespace zr::cli {

// A line on stdout, flushed at once so that a script reads each answer as it comes.
void PrintLine(const std::string& line);

// A line on stderr (progress, a failure told), flushed at once.
void Tell(const std::string& line);

// The bytes as a text, one character each.
QString Latin1(const std::string& bytes);

// The object as one line of compact JSON.
std::string JsonLine(const QJsonObject& object);

// An answer on stdout: its four reply fields, one a line, or with `json` one object on a
// line: the four, the command, the request and the raw reply in hex, the milliseconds from
// the frame written to the first reply byte and to the reply read (null for what did not
// happen), the outcome in words and the exit status, and `more` beside them.
void PrintAnswer(const Answer& answer, bool json, const QJsonObject& more = {});

// Milliseconds to a tenth.
double Milliseconds(double seconds);

}  // namespace zr::cli

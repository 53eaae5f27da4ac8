#pragma once

#include <QJsonObject>
#include <QString>
#include <string>

#include "cli/session.h"

namespace zr::cli {

// Every line goes through these, and every write is checked: once one to stdout or stderr has
// failed (a full disk, a closed pipe: SIGPIPE is ignored from the start, so the write fails
// with EPIPE instead of ending the program), OutputLost() is true, the subcommands stop at
// their next step, and FinishOutput ends the program with kOutputFailed.

// A line on stdout, flushed at once so that a script reads each answer as it comes.
void PrintLine(const std::string& line);
// Text on stdout as it is (the help, its lines ended already), flushed.
void Print(const std::string& text);

// A line on stderr (progress, a failure told), flushed at once.
void Tell(const std::string& line);

// A line on stderr that the next one overwrites, for a terminal: a carriage return, `text`,
// then the rest of the line cleared; "" clears the line.
void TellInPlace(const std::string& text);

// True once a write to stdout or stderr has failed.
bool OutputLost();

// Flushes stdout and gives the program's exit status: `status`, or kOutputFailed when a write failed, which
// is then told on stderr as `program`'s if stderr still works.
int FinishOutput(int status, const std::string& program);

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

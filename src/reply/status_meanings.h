#pragma once

#include <string>

namespace zr {

// The meaning of a status character, with its leading blank: " OK" for the grave accent and
// "@", the error text shared by both cases of an error letter, and " Unknown error response"
// for every other character ("n" and "N" included) and for a text that is not one character.
std::string StatusMeaning(const std::string& statusChar);

// Whether the status character is one of the two that mean no error, "`" and "@".
bool StatusIsOk(const std::string& statusChar);

// What the Response frame shows of a status character: its code text ("@ = 64") and its
// readiness with its meaning ("(Busy ) OK"); an empty text has the code 0.
std::string StatusCodeText(const std::string& statusChar);
std::string StatusText(const std::string& statusChar);

}  // namespace zr

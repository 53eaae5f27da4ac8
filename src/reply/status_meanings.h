#pragma once

#include <string>

namespace zr {

// "(Ready)" when the status character's code is above 90 ("Z"), otherwise "(Busy )".
std::string ReadinessText(unsigned char code);

// The meaning of a status character, with its leading blank: " OK" for the grave accent and
// "@", the error text shared by both cases of an error letter, and " Unknown error response"
// for every other character ("n" and "N" included) and for a text that is not one character.
std::string StatusMeaning(const std::string& statusChar);

}  // namespace zr

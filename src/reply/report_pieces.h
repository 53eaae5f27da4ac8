#pragma once

#include <cstdint>
#include <string>

namespace zr {

// Pieces of text and numbers from which the reply sentences are built. Every piece reads only
// inside its text: a character or a part that the text does not have is "".

// The character at `index` (counting from 0) as a one-character text, or "".
std::string CharAt(const std::string& text, std::size_t index);

// The first or the last `count` characters; the whole text when it is shorter.
std::string FirstChars(const std::string& text, std::size_t count);
std::string LastChars(const std::string& text, std::size_t count);

// The numeric value of the reply's data rounded to a 16-bit integer while that value is below
// 255; 0 for 255 and above.
int16_t ReplyNumber(const std::string& replyData);

// The character whose code is 64 + k ("A" for 1, "@" for 0). A code outside 0..255 is no
// character; it is shown as "?".
std::string PortLetter(int k);

}  // namespace zr

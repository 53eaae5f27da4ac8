#include "reply/report_pieces.h"

#include "shared/numbers.h"

namespace zr {

std::string CharAt(const std::string& text, std::size_t index) {
    return index < text.size() ? text.substr(index, 1) : std::string();
}

std::string FirstChars(const std::string& text, std::size_t count) {
    return text.substr(0, count);
}

std::string LastChars(const std::string& text, std::size_t count) {
    return count < text.size() ? text.substr(text.size() - count) : text;
}

int16_t ReplyNumber(const std::string& replyData) {
    const double value = NumericValue(replyData);
    return value < 255 ? RoundToInt16(value) : int16_t{0};
}

std::string PortLetter(int k) {
    const int code = 64 + k;
    if (code < 0 || code > 255) return "?";
    return std::string(1, static_cast<char>(static_cast<unsigned char>(code)));
}

}  // namespace zr

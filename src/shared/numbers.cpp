#include "shared/numbers.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace zr {

namespace {

bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text without the characters that the numeric value skips.
std::string WithoutBlanks(const std::string& text) {
    std::string kept;
    kept.reserve(text.size());
    for (char c : text)
        if (!IsSkipped(c)) kept += c;
    return kept;
}

// Length of the longest prefix of `s` that reads as a decimal number.
std::size_t NumberPrefixLength(const std::string& s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && IsDigit(s[j])) {
            while (j < s.size() && IsDigit(s[j])) ++j;
            i = j;
        }
    }
    return i;
}

// Significant digits (no trailing zeros) and decimal exponent of `value`, using as few digits
// as give the value back, at most `maxDigits`.
void ShortestDigits(double value, int maxDigits, bool single, std::string& digits, int& exponent) {
    char buffer[64];
    int precision = 1;
    for (; precision < maxDigits; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, value);
        const double back = std::strtod(buffer, nullptr);
        if (single ? static_cast<float>(back) == static_cast<float>(value) : back == value) break;
    }
    std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, std::fabs(value));
    const std::string text = buffer;  // d.ddde+XX
    const auto e = text.find('e');
    digits.clear();
    for (std::size_t i = 0; i < e; ++i)
        if (IsDigit(text[i])) digits += text[i];
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    exponent = std::atoi(text.c_str() + e + 1);
}

std::string UnsignedText(double value, int maxDigits, bool single) {
    if (value == 0) return "0";
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return "Infinity";
    std::string digits;
    int exponent = 0;
    ShortestDigits(value, maxDigits, single, digits, exponent);
    const int count = static_cast<int>(digits.size());
    if (exponent >= maxDigits || exponent < -4) {
        std::string text = digits.substr(0, 1);
        if (count > 1) text += "." + digits.substr(1);
        char tail[16];
        std::snprintf(tail, sizeof tail, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        return text + tail;
    }
    if (exponent < 0) return "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    if (exponent + 1 >= count) return digits + std::string(static_cast<std::size_t>(exponent + 1 - count), '0');
    return digits.substr(0, static_cast<std::size_t>(exponent + 1)) + "." +
           digits.substr(static_cast<std::size_t>(exponent + 1));
}

std::string SignedText(double value, int maxDigits, bool single) {
    return std::string(value < 0 ? "-" : " ") + UnsignedText(value, maxDigits, single);
}

}  // namespace

double NumericValue(const std::string& text) {
    const std::string kept = WithoutBlanks(text);
    const std::size_t length = NumberPrefixLength(kept);
    if (length == 0) return 0;
    std::string number = kept.substr(0, length);
    for (char& c : number)
        if (c == 'd' || c == 'D') c = 'e';
    const double value = std::strtod(number.c_str(), nullptr);
    if (std::isinf(value)) return value > 0 ? DBL_MAX : -DBL_MAX;
    return value;
}

double RoundHalfEven(double value) { return std::nearbyint(value); }

int16_t RoundToInt16(double value) {
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= std::numeric_limits<int16_t>::min())) return std::numeric_limits<int16_t>::min();
    if (rounded > std::numeric_limits<int16_t>::max()) return std::numeric_limits<int16_t>::max();
    return static_cast<int16_t>(rounded);
}

std::string DecimalText(double value) {
    return std::string(value < 0 ? "-" : "") + UnsignedText(value, 15, false);
}

std::string SignedTextSingle(float value) { return SignedText(value, 7, true); }

std::string SignedTextDouble(double value) { return SignedText(value, 15, false); }

}  // namespace zr

#include "shared/numbers.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace zr {

namespace {

bool IsSkipped(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

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

// Whether a decimal number that a double cannot hold is too large (rather than too close to
// zero): the power of ten of its first nonzero digit decides.
bool BeyondLargest(std::string_view number) {
    long long power = -1;  // of the first nonzero digit, before the exponent
    bool seenNonzero = false;
    bool afterPoint = false;
    std::size_t i = 0;
    for (; i < number.size() && number[i] != 'e'; ++i) {
        const char c = number[i];
        if (c == '.') afterPoint = true;
        if (!IsDigit(c)) continue;
        seenNonzero = seenNonzero || c != '0';
        if (!afterPoint && seenNonzero) ++power;
        if (afterPoint && !seenNonzero) --power;
    }
    long long exponent = 0;
    const bool negative = i + 1 < number.size() && number[i + 1] == '-';
    for (++i; i < number.size(); ++i)
        if (IsDigit(number[i])) exponent = std::min(exponent * 10 + (number[i] - '0'), 1'000'000'000LL);
    return power + (negative ? -exponent : exponent) > 0;
}

// The value of a decimal number in the form "-d.ddde-dd" (sign, exponent optional), read the
// same under every locale; beyond a double's range it is infinite or 0.
double DecimalValue(std::string_view number) {
    double value = 0;
    if (std::from_chars(number.data(), number.data() + number.size(), value).ec !=
        std::errc::result_out_of_range)
        return value;
    const bool negative = number.front() == '-';
    const double magnitude = BeyondLargest(number) ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
}

// `value` written as printf's "%.*e" writes it in the C locale: d.ddde+XX, `precision` digits
// after the point.
std::string ScientificText(double value, int precision) {
    char buffer[64];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, precision);
    return std::string(buffer, written.ptr);
}

// Significant digits (no trailing zeros) and decimal exponent of `value`, using as few digits
// as give the value back, at most `maxDigits`.
void ShortestDigits(double value, int maxDigits, bool single, std::string& digits, int& exponent) {
    int precision = 1;
    for (; precision < maxDigits; ++precision) {
        const double back = DecimalValue(ScientificText(value, precision - 1));
        if (single ? static_cast<float>(back) == static_cast<float>(value) : back == value) break;
    }
    const std::string text = ScientificText(std::fabs(value), precision - 1);
    const auto e = text.find('e');
    digits.clear();
    for (std::size_t i = 0; i < e; ++i)
        if (IsDigit(text[i])) digits += text[i];
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const char* exponentText = text.c_str() + e + 1;
    if (*exponentText == '+') ++exponentText;
    std::from_chars(exponentText, text.c_str() + text.size(), exponent);
}

std::string UnsignedText(double value, int maxDigits, bool single) {
    if (value == 0) return "0";
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return "Infinity";
    std::string digits;
    int exponent = 0;
    ShortestDigits(value, maxDigits, single, digits, exponent);
    if (exponent >= maxDigits || exponent < -4) {
        std::string text = digits.substr(0, 1);
        if (digits.size() > 1) text += "." + digits.substr(1);
        const std::string power = std::to_string(std::abs(exponent));
        return text + "E" + (exponent < 0 ? "-" : "+") + (power.size() < 2 ? "0" : "") + power;
    }
    if (exponent < 0) return "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    const std::size_t whole = static_cast<std::size_t>(exponent) + 1;  // digits before the point
    if (whole >= digits.size()) return digits + std::string(whole - digits.size(), '0');
    return digits.substr(0, whole) + "." + digits.substr(whole);
}

std::string SignedText(double value, int maxDigits, bool single) {
    return std::string(value < 0 ? "-" : " ") + UnsignedText(value, maxDigits, single);
}

}  // namespace

double NumericValue(const std::string& text) {
    const std::string kept = WithoutBlanks(text);
    const std::size_t length = NumberPrefixLength(kept);
    if (length == 0) return 0;
    const std::size_t plus = kept[0] == '+' ? 1 : 0;  // the only sign the reading below does not take
    std::string number = kept.substr(plus, length - plus);
    for (char& c : number)
        if (c == 'd' || c == 'D' || c == 'E') c = 'e';
    const double value = DecimalValue(number);
    if (std::isinf(value)) return value > 0 ? DBL_MAX : -DBL_MAX;
    return value;
}

double RoundHalfEven(double value) {
    return std::nearbyint(value);
}

int16_t RoundToInt16(double value) {
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= std::numeric_limits<int16_t>::min())) return std::numeric_limits<int16_t>::min();
    if (rounded > std::numeric_limits<int16_t>::max()) return std::numeric_limits<int16_t>::max();
    return static_cast<int16_t>(rounded);
}

std::string DecimalText(double value) {
    return std::string(value < 0 ? "-" : "") + UnsignedText(value, 15, false);
}

std::string SignedTextSingle(float value) {
    return SignedText(value, 7, true);
}

std::string SignedTextDouble(double value) {
    return SignedText(value, 15, false);
}

}  // namespace zr

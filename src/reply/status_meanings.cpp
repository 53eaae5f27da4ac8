#include "reply/status_meanings.h"

#include <array>

namespace zr {

namespace {

unsigned char CodeOf(const std::string& statusChar) {
    return statusChar.empty() ? 0 : static_cast<unsigned char>(statusChar[0]);
}

// Error texts by letter, "a" first; the letter "n" carries no error.
constexpr std::array<const char*, 26> kErrorTexts = {
    " Syringe not initialized",    // a
    " Invalid Command",            // b
    " Invalid operand",            // c
    " Communications error",       // d
    " Invalid 'Run' command",      // e
    " Low supply voltage",         // f
    " Device not initialized",     // g
    " Latest command ignored.",    // h
    " Syringe overload",           // i
    " Valve overload",             // j
    " Syringe move not allowed",   // k
    " Cannot move against limit",  // l
    " Program memory failure",     // m
    nullptr,                       // n
    " Command buffer full",        // o
    " For 3-way valve only",       // p
    " Loops nested too deep",      // q
    " Label not found",            // r
    " Program end not found",      // s
    " Out of program space",       // t
    " Home limit not set",         // u
    " Call stack overflow",        // v
    " Program not present",        // w
    " Valve position error",       // x
    " Syringe position error",     // y
    " Syringe may pass Home",      // z
};

constexpr const char* kUnknown = " Unknown error response";

// "(Ready)" when the status character's code is above 90 ("Z"), otherwise "(Busy )".
std::string ReadinessText(unsigned char code) {
    return code > 90 ? "(Ready)" : "(Busy )";
}

}  // namespace

bool StatusIsOk(const std::string& statusChar) {
    return statusChar == "`" || statusChar == "@";
}

std::string StatusMeaning(const std::string& statusChar) {
    if (StatusIsOk(statusChar)) return " OK";
    if (statusChar.size() != 1) return kUnknown;
    const char c = statusChar[0];
    int letter = -1;
    if (c >= 'a' && c <= 'z') letter = c - 'a';
    if (c >= 'A' && c <= 'Z') letter = c - 'A';
    if (letter < 0 || kErrorTexts[static_cast<std::size_t>(letter)] == nullptr) return kUnknown;
    return kErrorTexts[static_cast<std::size_t>(letter)];
}

std::string StatusCodeText(const std::string& statusChar) {
    return statusChar + " = " + std::to_string(CodeOf(statusChar));
}

std::string StatusText(const std::string& statusChar) {
    return ReadinessText(CodeOf(statusChar)) + StatusMeaning(statusChar);
}

}  // namespace zr

#include "reply/query_reports.h"

#include "reply/report_pieces.h"
#include "shared/numbers.h"

namespace zr {

namespace {

std::string InputReport(double argumentValue, const std::string& replyData) {
    return "Input #" + DecimalText(argumentValue - 3) +
           (NumericValue(replyData) == 1 ? " is On (low)" : " is Off (high)");
}

std::string VoltmeterReport(const std::string& replyData) {
    const auto volts = static_cast<float>(NumericValue(replyData) / 50);
    return "Voltmeter input = " + SignedTextSingle(volts) + " Volts";
}

// Two numbers separated by a blank; the blank is shown on both sides of the comma. Data
// without a blank are not two numbers and are shown as they came.
std::string FreeMemoryReport(const std::string& replyData) {
    const auto blank = replyData.find(' ');
    if (blank == std::string::npos) return replyData;
    return "NVM:  main = " + replyData.substr(0, blank + 1) + ",  exp = " + replyData.substr(blank) +
           " bytes free";
}

// The bit's number is the query's second digit. The first byte reads only a "1" as true, the
// second byte reads only a "0" as false.
std::string ExpansionBitReport(char byte, const std::string& argument, const std::string& replyData) {
    const double level = NumericValue(CharAt(replyData, 0));
    const bool isTrue = byte == '1' ? level == 1 : level != 0;
    return std::string("Expansion byte ") + byte + ", bit " + CharAt(argument, 1) + " is " +
           (isTrue ? "true (low)" : "false (high)");
}

std::string SnapshotReport(const std::string& replyData) {
    if (NumericValue(FirstChars(replyData, 2)) < 0) return "no snapshots taken";
    return "The snapshot positions are " + replyData;
}

std::string RampReport(const std::string& replyData) {
    return "Acceleration = " + FirstChars(replyData, 2) + ",  Deceleration = " + LastChars(replyData, 3);
}

}  // namespace

std::string QueryReport(const std::string& argument, const std::string& replyData) {
    const double argumentValue = NumericValue(argument);
    const int query = RoundToInt16(argumentValue);
    switch (query) {
        case 0:
            return "Absolute position = " + replyData + " Steps";
        case 1:
            return "Start speed = " + replyData + "Steps/sec";
        case 2:
            return "Top speed = " + replyData + "Steps/sec";
        case 3:
            return "Stop speed = " + replyData + "Steps/sec";
        case 4:
        case 5:
        case 6:
            return InputReport(argumentValue, replyData);
        case 7:
            return VoltmeterReport(replyData);
        case 8:
            return "Valve is at port " + PortLetter(RoundToInt16(NumericValue(replyData)));
        case 9:
            return FreeMemoryReport(replyData);
        case 10:
            return "Expansion byte #1 = " + replyData;
        case 19:
            return "Program numbers in NVM = " + replyData;
        case 20:
            return "Expansion byte #2 = " + replyData;
        case 29:
            return SnapshotReport(replyData);
        case 30:
            return RampReport(replyData);
        default:
            break;
    }
    if (query >= 11 && query <= 18) return ExpansionBitReport('1', argument, replyData);
    if (query >= 21 && query <= 28) return ExpansionBitReport('2', argument, replyData);
    return "illegal command argument";
}

}  // namespace zr

#include "platform/line/line_settings.h"

#include <charconv>
#include <vector>

namespace zr {

namespace {

std::vector<std::string> SplitAtCommas(const std::string& text) {
    std::vector<std::string> fields(1);
    for (char c : text) {
        if (c == ',')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

std::optional<qint32> PositiveNumber(const std::string& field) {
    qint32 value = 0;
    const char* end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value);
    if (error != std::errc() || stop != end || value <= 0) return std::nullopt;
    return value;
}

std::optional<QSerialPort::Parity> ParityOf(const std::string& field) {
    if (field.size() != 1) return std::nullopt;
    switch (field[0]) {
        case 'n':
        case 'N':
            return QSerialPort::NoParity;
        case 'e':
        case 'E':
            return QSerialPort::EvenParity;
        case 'o':
        case 'O':
            return QSerialPort::OddParity;
        case 'm':
        case 'M':
            return QSerialPort::MarkParity;
        case 's':
        case 'S':
            return QSerialPort::SpaceParity;
        default:
            return std::nullopt;
    }
}

std::optional<QSerialPort::StopBits> StopBitsOf(const std::string& field) {
    if (field == "1") return QSerialPort::OneStop;
    if (field == "1.5") return QSerialPort::OneAndHalfStop;
    if (field == "2") return QSerialPort::TwoStop;
    return std::nullopt;
}

}  // namespace

std::optional<LineSettings> ParseLineSettings(const std::string& text) {
    const std::vector<std::string> fields = SplitAtCommas(text);
    if (fields.size() != 4) return std::nullopt;
    const auto baud = PositiveNumber(fields[0]);
    const auto parity = ParityOf(fields[1]);
    const auto dataBits = PositiveNumber(fields[2]);
    const auto stopBits = StopBitsOf(fields[3]);
    if (!baud || !parity || !dataBits || *dataBits < 5 || *dataBits > 8 || !stopBits) return std::nullopt;
    return LineSettings{*baud, *parity, static_cast<QSerialPort::DataBits>(*dataBits), *stopBits};
}

}  // namespace zr

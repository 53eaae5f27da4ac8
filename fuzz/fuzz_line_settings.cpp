// Line-setting texts ("9600,n,8,1") read: what passes is in range and writes back to itself.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/line/line_settings.h"
#include "require.h"

namespace {

// The parities and the letters that name them.
constexpr std::pair<QSerialPort::Parity, char> kParities[] = {{QSerialPort::NoParity, 'n'},
                                                              {QSerialPort::EvenParity, 'e'},
                                                              {QSerialPort::OddParity, 'o'},
                                                              {QSerialPort::MarkParity, 'm'},
                                                              {QSerialPort::SpaceParity, 's'}};

std::string Written(const zr::LineSettings& s) {
    char parity = '?';
    for (const auto& [value, letter] : kParities)
        if (value == s.parity) parity = letter;
    const char* stop = s.stopBits == QSerialPort::OneStop   ? "1"
                       : s.stopBits == QSerialPort::TwoStop ? "2"
                                                            : "1.5";
    return std::to_string(s.baud) + "," + parity + "," + std::to_string(int(s.dataBits)) + "," + stop;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<zr::LineSettings> settings = zr::ParseLineSettings(text);
    if (!settings) return 0;
    Require(settings->baud > 0, "a positive baud rate");
    Require(settings->dataBits >= QSerialPort::Data5 && settings->dataBits <= QSerialPort::Data8,
            "5 to 8 data bits");
    const std::string written = Written(*settings);
    Require(written.find('?') == std::string::npos, "a parity the text can name");
    const std::optional<zr::LineSettings> again = zr::ParseLineSettings(written);
    Require(again && again->baud == settings->baud && again->parity == settings->parity &&
                again->dataBits == settings->dataBits && again->stopBits == settings->stopBits,
            "the settings written back read the same");
    return 0;
}

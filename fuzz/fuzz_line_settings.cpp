// Line-setting texts ("9600,n,8,1") read: what passes is in range and writes back to itself.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/line_settings.h"
#include "require.h"

namespace {

std::string Written(const zr::LineSettings& s) {
    const char* parity = "?";
    switch (s.parity) {
        case QSerialPort::NoParity:
            parity = "n";
            break;
        case QSerialPort::EvenParity:
            parity = "e";
            break;
        case QSerialPort::OddParity:
            parity = "o";
            break;
        case QSerialPort::MarkParity:
            parity = "m";
            break;
        case QSerialPort::SpaceParity:
            parity = "s";
            break;
    }
    const char* stop = s.stopBits == QSerialPort::OneStop ? "1" : s.stopBits == QSerialPort::TwoStop ? "2" : "1.5";
    return std::to_string(s.baud) + "," + parity + "," + std::to_string(int(s.dataBits)) + "," + stop;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<zr::LineSettings> settings = zr::ParseLineSettings(text);
    if (!settings) return 0;
    Require(settings->baud > 0, "a positive baud rate");
    Require(settings->dataBits >= QSerialPort::Data5 && settings->dataBits <= QSerialPort::Data8, "5 to 8 data bits");
    const std::string written = Written(*settings);
    Require(written.find('?') == std::string::npos, "a parity the text can name");
    const std::optional<zr::LineSettings> again = zr::ParseLineSettings(written);
    Require(again && again->baud == settings->baud && again->parity == settings->parity &&
                again->dataBits == settings->dataBits && again->stopBits == settings->stopBits,
            "the settings written back read the same");
    return 0;
}

#pragma once

#include <QSerialPort>
#include <optional>
#include <string>

namespace zr {

struct LineSettings {
    qint32 baud = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// Reads "baud,parity,data,stop", e.g. "9600,n,8,1": a positive baud rate, a parity letter
// (n, e, o, m, s in either case), 5 to 8 data bits, 1, 1.5 or 2 stop bits. Nothing else.
std::optional<LineSettings> ParseLineSettings(const std::string& text);

}  // namespace zr

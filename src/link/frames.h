#pragma once

#include <cstdint>
#include <string>

namespace zr {

// Exclusive-or of the byte values of a text (0 for an empty text).
uint8_t XorBytes(const std::string& bytes);

// "/", the address, the command, a carriage return.
std::string DTFrame(const std::string& address, const std::string& command);

// 0xFF, 0x02, the address, the sequence character "1", the command, 0x03, and the XOR of
// every byte after the lead byte.
std::string OEMFrame(const std::string& address, const std::string& command);

// The checksum an OEM reply must carry for its status character and data: their XOR with
// 0x31, which stands for the start, the master's address "0" and the end byte.
uint8_t OEMReplyChecksum(const std::string& status, const std::string& data);

}  // namespace zr

#pragma once

#include <string>

namespace zr::dnssd {

// The longest string a TXT record holds: its length is one byte.
inline constexpr std::size_t LongestTxtString = 255;

// "key=value" cut to at most LongestTxtString bytes, never inside a UTF-8 character.
std::string TxtString(const std::string& key, const std::string& value);

}  // namespace zr::dnssd

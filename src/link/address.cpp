#include "link/address.h"

#include <string_view>

namespace zr {

std::string AddressCharacter(int index) {
    int code = 0;
    if (index >= 0 && index <= 14) code = 49 + index;
    else if (index >= 15 && index <= 21) code = 65 + 2 * (index - 15);
    else if (index >= 22 && index <= 25) code = 81 + 4 * (index - 22);
    else if (index == 26) code = 95;
    else return {};
    return std::string(1, static_cast<char>(code));
}

void ClassifyAddress(Module& m) {
    if (m.AddrChar.empty()) return;
    static constexpr std::string_view kGroups = "ACEGIKMQUY]_";
    const unsigned char c = static_cast<unsigned char>(m.AddrChar[0]);
    if (m.AddrChar.size() != 1) m.AddrMode = "e";
    else if (c >= 0x30 && c <= 0x3F) m.AddrMode = "s";
    else if (kGroups.find(static_cast<char>(c)) != std::string_view::npos) m.AddrMode = "m";
    else m.AddrMode = "e";
}

}  // namespace zr

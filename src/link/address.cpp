#include "link/address.h"

#include <string_view>

#include "shared/list_boxes.h"

namespace zr {

std::string AddressCharacter(int index) {
    if (index < 0 || index >= static_cast<int>(AddressItems.size())) return {};
    return AddressItems[static_cast<std::size_t>(index)].value;
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

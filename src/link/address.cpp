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
    const char c = m.AddrChar[0];
    const bool one = m.AddrChar.size() == 1;
    if (one && c >= 0x30 && c <= 0x3F)
        m.AddrMode = "s";
    else if (one && kGroups.find(c) != std::string_view::npos)
        m.AddrMode = "m";
    else
        m.AddrMode = "e";
}

}  // namespace zr

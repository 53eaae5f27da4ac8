#include "cli/pumps.h"

#include <algorithm>

#include "cli/link_options.h"
#include "shared/list_boxes.h"

namespace zr::cli {

std::string AddressName(int address) {
    return AddressItems[static_cast<std::size_t>(address)].item;
}

std::vector<int> PumpsOf(int address, const std::vector<int>& named) {
    if (address < FirstGroupAddressIndex) return {address};
    if (address == AllPumpsAddressIndex) return named;
    std::vector<int> pumps;
    const std::string item = AddressName(address);
    for (std::size_t start = 0; start < item.size();) {
        const std::size_t comma = std::min(item.find(',', start), item.size());
        if (const auto pump = ChoiceIndex(Control::cboAddress, item.substr(start, comma - start)))
            pumps.push_back(*pump);
        start = comma + 1;
    }
    return pumps;
}

void AddPumps(std::vector<int>& pumps, const std::vector<int>& more) {
    for (int pump : more)
        if (std::find(pumps.begin(), pumps.end(), pump) == pumps.end()) pumps.push_back(pump);
}

}  // namespace zr::cli

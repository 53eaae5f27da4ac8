#pragma once

#include <string>
#include <vector>

namespace zr::cli {

// The address list's item for an address index: "1", "B", "1,2", "ALL".
std::string AddressName(int address);

// The single pumps an address reaches, as address indices: the pump itself, the pumps a
// group's item names ("1,2": pumps 1 and 2), and for ALL, whose pumps are not known from its
// name, `named`: the single pumps the call names elsewhere.
std::vector<int> PumpsOf(int address, const std::vector<int>& named);

// Adds to `pumps` those of `more` it does not hold yet, keeping the order.
void AddPumps(std::vector<int>& pumps, const std::vector<int>& more);

}  // namespace zr::cli

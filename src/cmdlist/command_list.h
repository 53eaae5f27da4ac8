#pragma once

#include <array>
#include <string>
#include <vector>

#include "shared/module.h"

namespace zr {

// A device type of cboDevice's list and the command-list file that describes it.
struct DeviceType {
    const char* item;
    const char* file;
};

// In the order of cboDevice's list. Two device types share a file.
inline constexpr std::array<DeviceType, 7> DeviceTypes{{
    {"Alder", "Alder.txt"},
    {"Birch, 1.16/1.17", "Birch.txt"},
    {"Birch, 1.18,1.19", "BirchB.txt"},
    {"Birch, 1.20/1.21", "BirchA.txt"},
    {"Cedar", "Cedar.txt"},
    {"Dune 3", "d3_12k.txt"},
    {"Dune 6", "BirchA.txt"},
}};

// Reads the lines of the file CmdListFile names. When there is no such file yet (no device
// type chosen) or it cannot be read, tells the operator in a message box and returns false.
bool ReadCommandListFile(Module& m, std::vector<std::string>& lines);

// Loads the command list of the device type picked in cboDevice into lstCmd.
void cboDevice_Click(Module& m);

}  // namespace zr

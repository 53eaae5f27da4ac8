#pragma once

#include <array>

namespace zr {

// The fixed lists of the window's list boxes, each item with what it stands for. The window
// fills the boxes from these tables and the handlers read a chosen index through them, so an
// item and its meaning cannot drift apart.

// cboDevice: a device type and the command-list file that describes it (two share a file).
struct DeviceType {
    const char* item;
    const char* file;
};
inline constexpr std::array<DeviceType, 7> DeviceTypes{{
    {"Alder", "Alder.txt"},
    {"Birch, 1.16/1.17", "Birch.txt"},
    {"Birch, 1.18,1.19", "BirchB.txt"},
    {"Birch, 1.20/1.21", "BirchA.txt"},
    {"Cedar", "Cedar.txt"},
    {"Dune 3", "d3_12k.txt"},
    {"Dune 6", "BirchA.txt"},
}};

// An item shown in a list box and the value it stands for.
struct ListItem {
    const char* item;
    const char* value;
};

// cboProtocol: the framing.
inline constexpr std::array<ListItem, 2> ProtocolItems{{{"DT", "DT"}, {"OEM", "OEM"}}};
inline constexpr int DtProtocolIndex = 0;
inline constexpr int OemProtocolIndex = 1;

// cboPort: the port number is the index + 1.
inline constexpr std::array<const char*, 4> PortItems{"Com1", "Com2", "Com3", "Com4"};
inline constexpr int FirstPortIndex = 0;

// cboBaud: the rate as the box shows it and as the port takes it.
inline constexpr std::array<ListItem, 6> BaudItems{{
    {"38,400", "38400"},
    {"19,200", "19200"},
    {"9600", "9600"},
    {"4800", "4800"},
    {"2400", "2400"},
    {"1200", "1200"},
}};
// 9600: the rate a pump takes with its OPTION jumper in place.
inline constexpr int DefaultBaudIndex = 2;

// cboAddress: the pumps addressed and the address character sent for them. Single pumps come
// first; from FirstGroupAddressIndex on, an item addresses several pumps, which do not reply.
inline constexpr std::array<ListItem, 27> AddressItems{{
    {"1", "1"},       {"2", "2"},     {"3", "3"},   {"4", "4"},   {"5", "5"},       {"6", "6"},
    {"7", "7"},       {"8", "8"},     {"9", "9"},   {"A", ":"},   {"B", ";"},       {"C", "<"},
    {"D", "="},       {"E", ">"},     {"F", "?"},   {"1,2", "A"}, {"3,4", "C"},     {"5,6", "E"},
    {"7,8", "G"},     {"9,A", "I"},   {"B,C", "K"}, {"D,E", "M"}, {"1,2,3,4", "Q"}, {"5,6,7,8", "U"},
    {"9,A,B,C", "Y"}, {"D,E,F", "]"}, {"ALL", "_"},
}};
inline constexpr int FirstAddressIndex = 0;
inline constexpr int FirstGroupAddressIndex = 15;
inline constexpr int AllPumpsAddressIndex = 26;

}  // namespace zr

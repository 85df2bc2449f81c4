// Where the skin pictures lie: the folder "skins" beside the program, with one sub-folder per
// mouse model named after its CID and MID.
#pragma once
#include <cstdint>
#include <string>

// The general picture `name` (a file name, or a path below the skins folder).
std::string SkinPath(const std::string& name);
// A picture of the mouse model: skins/<cid><mid>/name, both as two lower-case hex digits.
std::string DeviceSkinPath(uint8_t cid, uint8_t mid, const std::string& name);
// The name of a mouse model's folder, "0a3c" for CID 0x0A and MID 0x3C.
std::string DeviceSkinFolder(uint8_t cid, uint8_t mid);

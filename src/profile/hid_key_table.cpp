#include "profile/hid_key_table.h"

#include <array>
#include <cstddef>
#include <utility>

namespace {

struct KeyPair {
    uint8_t usage, vk;
};

// The order matters: lookups take the first match in either direction.
constexpr auto kKeyTable = [] {
    std::array<KeyPair, 104> t{};
    std::size_t n = 0;
    auto add = [&](uint8_t usage, uint8_t vk) { t[n++] = {usage, vk}; };
    for (uint8_t i = 0; i < 26; ++i)
        add(static_cast<uint8_t>(0x04 + i), static_cast<uint8_t>(0x41 + i));
    for (uint8_t i = 0; i < 9; ++i)
        add(static_cast<uint8_t>(0x1E + i), static_cast<uint8_t>(0x31 + i));
    add(0x27, 0x30);
    add(0x28, 0x0D);
    add(0x29, 0x1B);
    add(0x2A, 0x08);
    add(0x2B, 0x09);
    add(0x2C, 0x20);
    add(0x2D, 0xBD);
    add(0x2E, 0xBB);
    add(0x2F, 0xDB);
    add(0x30, 0xDD);
    add(0x31, 0xDC);
    add(0x33, 0xBA);
    add(0x34, 0xDE);
    add(0x35, 0xC0);
    add(0x36, 0xBC);
    add(0x37, 0xBE);
    add(0x38, 0xBF);
    add(0x39, 0x14);
    for (uint8_t i = 0; i < 12; ++i)
        add(static_cast<uint8_t>(0x3A + i), static_cast<uint8_t>(0x70 + i));
    add(0x46, 0x2C);
    add(0x47, 0x91);
    add(0x48, 0x13);
    add(0x49, 0x2D);
    add(0x4A, 0x24);
    add(0x4B, 0x21);
    add(0x4C, 0x2E);
    add(0x4D, 0x23);
    add(0x4E, 0x22);
    add(0x4F, 0x27);
    add(0x50, 0x25);
    add(0x51, 0x28);
    add(0x52, 0x26);
    add(0x53, 0x90);
    add(0x54, 0x6F);
    add(0x55, 0x6A);
    add(0x56, 0x6D);
    add(0x57, 0x6B);
    add(0x58, 0x0D);
    for (uint8_t i = 0; i < 9; ++i)
        add(static_cast<uint8_t>(0x59 + i), static_cast<uint8_t>(0x61 + i));
    add(0x62, 0x60);
    add(0x63, 0x6E);
    add(0x65, 0x5D);
    add(0xE0, 0xA2);
    add(0xE1, 0xA0);
    add(0xE2, 0xA4);
    add(0xE3, 0x5B);
    add(0xE4, 0xA3);
    add(0xE5, 0xA1);
    add(0xE6, 0xA5);
    add(0xE7, 0x5C);
    if (n != t.size()) throw "key table size";  // a compile-time error in a constexpr context
    return t;
}();

}  // namespace

uint8_t HidUsageToVk(uint8_t usage) {
    for (const KeyPair& p : kKeyTable)
        if (p.usage == usage) return p.vk;
    return 0;
}

uint8_t VkToHidUsage(uint8_t vk) {
    for (const KeyPair& p : kKeyTable)
        if (p.vk == vk) return p.usage;
    return 0;
}

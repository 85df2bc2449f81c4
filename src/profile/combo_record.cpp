#include "profile/combo_record.h"

#include <array>

#include "app/log.h"
#include "profile/hid_key_table.h"

namespace {

struct ConsumerFunction {
    uint32_t code;
    uint16_t usage;
};
constexpr std::array<ConsumerFunction, 18> kConsumer{{
    {0x21, 0x0183},
    {0x22, 0x00CD},
    {0x23, 0x00B7},
    {0x24, 0x00B6},
    {0x25, 0x00B5},
    {0x26, 0x00E9},
    {0x27, 0x00EA},
    {0x28, 0x00E2},
    {0x30, 0x018A},
    {0x31, 0x0192},
    {0x32, 0x0194},
    {0x33, 0x0221},
    {0x34, 0x0223},
    {0x35, 0x0224},
    {0x36, 0x0225},
    {0x37, 0x0226},
    {0x38, 0x0227},
    {0x39, 0x022A},
}};

constexpr uint8_t kModifierBits[] = {1, 2, 4, 8};
constexpr size_t kMaxComboParts = 5;  // modifiers + keys that fit a 32-byte slot

}  // namespace

uint16_t ConsumerUsageOfFunction(uint32_t code) {
    for (const auto& c : kConsumer)
        if (c.code == code) return c.usage;
    return 0xFFFF;
}

uint8_t ComboCheckByte(const uint8_t* bytes, size_t len) {
    unsigned sum = 0;
    for (size_t i = 0; i < len; ++i) sum += bytes[i];
    return static_cast<uint8_t>(0x55 - sum);
}

size_t BuildComboRecord(const KeyInfo& key, uint8_t* buf, size_t bufSize) {
    if (!buf || bufSize < kComboSlotBytes) return 0;
    const uint32_t type = key.dwFunID >> 24;
    size_t len = 0;
    if (type == 3 || type == 4) {
        uint16_t usage = ConsumerUsageOfFunction(key.dwFunID & 0xFFFFFF);
        const uint8_t lo = static_cast<uint8_t>(usage), hi = static_cast<uint8_t>(usage >> 8);
        const uint8_t rec[7] = {2, kHdConsumerDown, lo, hi, kHdConsumerUp, lo, hi};
        for (uint8_t b : rec) buf[len++] = b;
    } else if (type == 2) {
        const uint8_t mods = key.stCombo[0];
        size_t parts = 0;
        for (uint8_t bit : kModifierBits) parts += (mods & bit) ? 1 : 0;
        for (int k = 1; k <= 3; ++k) parts += key.stCombo[k] ? 1 : 0;
        if (parts > kMaxComboParts) {
            LogPrintf("BuildComboRecord: %u keys do not fit the mouse's slot",
                      static_cast<unsigned>(parts));
            return 0;
        }
        len = 1;
        auto event = [&](uint8_t type, uint8_t code) {
            buf[len++] = type;
            buf[len++] = code;
            buf[len++] = 0;
        };
        for (uint8_t bit : kModifierBits)
            if (mods & bit) event(kHdModifierDown, bit);
        for (int k = 1; k <= 3; ++k)
            if (key.stCombo[k]) event(kHdKeyDown, VkToHidUsage(key.stCombo[k]));
        for (uint8_t bit : kModifierBits)
            if (mods & bit) event(kHdModifierUp, bit);
        for (int k = 3; k >= 1; --k)
            if (key.stCombo[k]) event(kHdKeyUp, VkToHidUsage(key.stCombo[k]));
        buf[0] = static_cast<uint8_t>((len - 1) / 3);
    } else {
        return 0;
    }
    buf[len] = ComboCheckByte(buf, len);
    return len;
}

int DecodeComboRecord(const uint8_t* record, size_t len, KeyInfo& key) {
    if (!record || len < 2 || record[0] == 0) return 0;
    const uint8_t count = record[0];
    const uint8_t kind = record[1] & 0x0F;
    if (kind == 2) {
        if (len < 4) return 0;
        const uint16_t usage = static_cast<uint16_t>(record[2] | (record[3] << 8));
        for (const auto& c : kConsumer) {
            if (c.usage == usage) {
                key.dwFunID = ((c.code >= 0x30 ? 3u : 4u) << 24) | c.code;
                return 1;
            }
        }
        return 0;
    }
    if (kind > 1) return 0;
    std::array<uint8_t, 4> combo{};
    int nextKey = 1;
    for (size_t i = 0; i < count && 1 + 3 * i + 1 < len; ++i) {
        const uint8_t type = record[1 + 3 * i], code = record[2 + 3 * i];
        if (static_cast<int8_t>(type) >= 64) break;  // the first release ends the presses
        if (type == kHdKeyDown) {
            // A fourth key has no place in the combination and is dropped.
            uint8_t vk = HidUsageToVk(code);
            if (vk && nextKey <= 3) combo[nextKey++] = vk;
        } else if (type == kHdModifierDown) {
            combo[0] |= code & 0x0F;
        }
    }
    key.dwFunID = 0x02000000;
    key.stCombo = combo;
    return 1;
}

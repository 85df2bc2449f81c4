#include "profile/combo_record.h"

#include <array>

#include "base/log.h"
#include "device/reports.h"
#include "profile/key_function.h"
#include "profile/modifier_bits.h"
#include "profile/hid_key_table.h"

namespace {

constexpr uint8_t kModifierBits[] = {kComboCtrl, kComboShift, kComboAlt, kComboWin};
constexpr size_t kMaxComboParts = 5;  // modifiers + keys that fit a 32-byte slot

}  // namespace

size_t BuildComboRecord(const KeyInfo& key, uint8_t* buf, size_t bufSize) {
    if (!buf || bufSize < kComboSlotBytes) return 0;
    const uint32_t type = key.dwFunID >> 24;
    size_t len = 0;
    if (type == 3 || type == 4) {
        // A code the table does not list has no usage: its record carries 0xFFFF.
        const KeyFunction* f = FindKeyFunction(key.dwFunID);
        const uint16_t usage =
            f && f->rule == MatrixRule::kConsumer ? f->consumerUsage : uint16_t{0xFFFF};
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
    buf[len] = CheckByte(buf, len);
    return len;
}

int DecodeComboRecord(const uint8_t* record, size_t len, KeyInfo& key) {
    if (!record || len < 2 || record[0] == 0) return 0;
    const uint8_t count = record[0];
    const uint8_t kind = record[1] & 0x0F;
    if (kind == 2) {
        if (len < 4) return 0;
        const uint16_t usage = static_cast<uint16_t>(record[2] | (record[3] << 8));
        const KeyFunction* f = FindConsumerFunction(usage);
        if (!f) return 0;
        key.dwFunID = f->dwFunID;
        return 1;
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

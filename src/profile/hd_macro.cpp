#include "profile/hd_macro.h"

#include <algorithm>
#include <cstring>

#include "macro/macro_options.h"
#include "base/log.h"
#include "profile/combo_record.h"
#include "profile/hid_key_table.h"

namespace {

// The limits come from the options but the record and the area set hard bounds.
int MaxEvents() {
    return std::clamp(TheMacroOptions().nMaxMacroEvents, 0, MAX_MACRO_EVENTS);
}
size_t AreaBytes() {
    return static_cast<size_t>(
        std::clamp(TheMacroOptions().nMaxHdMacroBytes, 0, static_cast<int32_t>(kHdMacroAreaBytes)));
}

// Modifier bit of a virtual-key code; 0 when the key is no modifier.
uint8_t ModifierBitOfVk(uint8_t vk) {
    switch (vk) {
        case 0x10:
        case 0xA0:
            return 2;
        case 0x11:
        case 0xA2:
            return 1;
        case 0x12:
        case 0xA4:
            return 4;
        case 0x5B:
        case 0x5C:
            return 8;
        case 0xA1:
            return 32;
        case 0xA3:
            return 16;
        case 0xA5:
            return 64;
        default:
            return 0;
    }
}

uint8_t MouseBitOfVk(uint8_t vk) {
    switch (vk) {
        case MOUSE_VK_LEFT:
            return 1;
        case MOUSE_VK_RIGHT:
            return 2;
        case MOUSE_VK_MIDDLE:
            return 4;
        case MOUSE_VK_FORWARD:
            return 16;
        case MOUSE_VK_BACK:
            return 8;
        default:
            return 0;
    }
}

uint8_t VkOfMouseBit(uint8_t bit) {
    switch (bit) {
        case 1:
            return MOUSE_VK_LEFT;
        case 2:
            return MOUSE_VK_RIGHT;
        case 4:
            return MOUSE_VK_MIDDLE;
        case 8:
            return MOUSE_VK_BACK;
        case 16:
            return MOUSE_VK_FORWARD;
        default:
            return 0;
    }
}

uint8_t VkOfModifierBit(uint8_t bit) {
    switch (bit) {
        case 1:
            return 0xA2;
        case 2:
            return 0xA0;
        case 4:
            return 0xA4;
        case 8:
            return 0x5B;
        case 16:
            return 0xA3;
        case 32:
            return 0xA1;
        case 64:
            return 0xA5;
        default:
            return 0;
    }
}

}  // namespace

size_t StMacro_To_HdMacro(const StMacro* m, uint8_t* out, size_t outSize) {
    if (!m || !out || outSize < kHdMacroWorkBytes) return 0;
    uint8_t work[kHdMacroWorkBytes] = {};
    const int maxEvents = MaxEvents();
    const size_t area = AreaBytes();
    int n = 0;
    for (; n < maxEvents && n < kMacroEventSlots; ++n) {
        const MacroEvent e = m->events[n];
        if (e.code == 0 && e.delay == 0) break;
        const size_t at = kHdMacroEventsOffset + kHdMacroEventBytes * n;
        if (at + 1 >= area) break;  // would start at the area's last byte or beyond
        uint8_t* p = work + at;
        const uint16_t code = static_cast<uint16_t>(e.code);
        if (e.flags & kMacroEventMove) {
            p[0] = kHdMove;
            p[1] = static_cast<uint8_t>(code);
            p[2] = static_cast<uint8_t>(code >> 8);
        } else {
            const uint8_t vk = static_cast<uint8_t>(code);
            uint8_t base, value;
            if (uint8_t mod = ModifierBitOfVk(vk)) {
                base = 0x00;
                value = mod;
            } else if (uint8_t btn = MouseBitOfVk(vk)) {
                base = 0x04;
                value = btn;
            } else {
                base = 0x01;
                value = VkToHidUsage(vk);
                if (value == 0) LogPrintf("StMacro_To_HdMacro: get wrong hid");
            }
            p[0] = static_cast<uint8_t>(((e.flags & kMacroEventDown) ? 0x80 : 0x40) + base);
            p[1] = value;
            p[2] = 0;
        }
        // The mouse keeps delays in 16 bits, high byte first.
        p[3] = static_cast<uint8_t>(e.delay >> 8);
        p[4] = static_cast<uint8_t>(e.delay);
    }
    work[kHdMacroCountOffset] = static_cast<uint8_t>(n);
    const size_t len = kHdMacroEventsOffset + kHdMacroEventBytes * static_cast<size_t>(n);
    std::memcpy(out, work, len);
    return len;
}

void HdMacro_To_StMacro(StMacro& m, const uint8_t* bytes, size_t len, MacroId id) {
    m = StMacro{};
    m.dwMagicNumber = MACRO_MAGIC;
    m.id = id;
    m.LoopMode = 0;
    m.autoDelay = 1;
    if (!bytes || len == 0) return;
    size_t n = std::min<size_t>(bytes[0], static_cast<size_t>(MaxEvents()));
    n = std::min(n, (len - 1) / kHdMacroEventBytes);
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* p = bytes + 1 + kHdMacroEventBytes * i;
        const uint8_t type = p[0];
        MacroEvent e;
        if ((type & 7) == 5) {
            e.code = static_cast<int16_t>(p[1] | (p[2] << 8));
            e.flags = kMacroEventMove;
        } else {
            if (type >= 0x80 && type <= 0xBF)
                e.flags = kMacroEventDown;
            else if (!(type >= 0x40 && type <= 0x7F))
                LogPrintf("HdMacro_To_StMacro: convert err, i=%d", static_cast<int>(i));
            uint8_t vk = 0;
            const int kind = type & 7;
            if (kind == 4 || kind == 1 || kind == 0) {
                vk = kind == 4   ? VkOfMouseBit(p[1])
                     : kind == 1 ? HidUsageToVk(p[1])
                                 : VkOfModifierBit(p[1]);
                if (vk == 0)
                    LogPrintf("HdMacro_To_StMacro: convert err, i=%d, nHid=%x", static_cast<int>(i),
                              p[1]);
            } else {
                LogPrintf("HdMacro_To_StMacro: convert err, nKeyFalg=%d", kind);
            }
            e.code = vk;
        }
        // The last event's delay would only hold the mouse after the macro ended.
        if (i + 1 < n) e.delay = static_cast<uint32_t>(p[3] << 8 | p[4]);
        m.events[i] = e;
    }
}

void HdMacro_To_StMacro(StMacro& m, const uint8_t* bytes, size_t len) {
    HdMacro_To_StMacro(m, bytes, len, NewMacroId());
}

// Any bytes as a combination slot read from the mouse: decoding must stay within the bytes
// given, and a combination it accepts must build and decode back to itself when it fits the
// slot.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "profile/combo_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    KeyInfo key;
    key.dwFunID = 0x080000A2;
    const KeyInfo before = key;
    if (DecodeComboRecord(data, size, key) == 0) {
        if (!(key == before)) std::abort();
        return 0;
    }
    const uint32_t type = key.dwFunID >> 24;
    if (type < 2 || type > 4) std::abort();
    if ((key.stCombo[0] & 0xF0) != 0) std::abort();

    uint8_t buf[kComboSlotBytes];
    const size_t len = BuildComboRecord(key, buf, sizeof buf);
    if (len == 0) {
        // Only a combination of more than five modifiers and keys may be refused.
        int parts = 0;
        for (int b = 0; b < 4; ++b) parts += (key.stCombo[0] >> b) & 1;
        for (int k = 1; k <= 3; ++k) parts += key.stCombo[k] != 0;
        if (type != 2 || parts <= 5) std::abort();
        return 0;
    }
    if (len >= kComboSlotBytes) std::abort();
    unsigned sum = 0;
    for (size_t i = 0; i <= len; ++i) sum += buf[i];
    if ((sum & 0xFF) != 0x55) std::abort();

    KeyInfo again;
    const int decoded = DecodeComboRecord(buf, len + 1, again);
    // A record whose events name no key decodes to an empty combination, whose own record
    // has no events and so does not decode.
    if (type == 2 && key.ComboValue() == 0) {
        if (buf[0] != 0) std::abort();
        return 0;
    }
    if (decoded != 1 || again.dwFunID != key.dwFunID) std::abort();
    if (type == 2 && again.stCombo != key.stCombo) std::abort();
    return 0;
}

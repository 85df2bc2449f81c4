// Any bytes as a macro area read from the mouse (from its event count on): decoding must stay
// within the bytes given and 70 events, and what it decodes must encode and decode again to
// the same events (but for the delay of the last one).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "profile/hd_macro.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StMacro first;
    HdMacro_To_StMacro(first, data, size, 0x123456);
    const int n = CountMacroEvents(first);
    if (n > MAX_MACRO_EVENTS || first.dwMagicNumber != MACRO_MAGIC || first.id != 0x123456)
        std::abort();

    uint8_t hd[kHdMacroWorkBytes];
    const size_t len = StMacro_To_HdMacro(&first, hd, sizeof hd);
    if (len != 32u + 5u * static_cast<unsigned>(n) || hd[31] != n) std::abort();

    StMacro second;
    HdMacro_To_StMacro(second, hd + 31, len - 31, 0x123456);
    // A last event without a code loses its delay and with it its place in the list.
    const int expected = (n > 0 && first.events[n - 1].code == 0) ? n - 1 : n;
    if (CountMacroEvents(second) != expected) std::abort();
    for (int i = 0; i < expected; ++i) {
        const MacroEvent a = first.events[i], b = second.events[i];
        // The mouse drops the last event's delay, which need not have been the last before.
        const bool last = i + 1 == expected;
        // The mouse has one Windows-key bit: right Windows comes back as left Windows.
        const int16_t code = (a.flags & kMacroEventMove) == 0 && a.code == 0x5C ? 0x5B : a.code;
        if (code != b.code || a.flags != b.flags || (!last && a.delay != b.delay)) std::abort();
    }
    return 0;
}

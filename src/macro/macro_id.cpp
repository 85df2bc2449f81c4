#include "macro/macro_id.h"

#include <mutex>

MacroId MacroIdFromTime(const platform::LocalTime& t) {
    return ((t.hour & 0x0Fu) << 20) | ((t.minute & 0x3Fu) << 14) | ((t.second & 0x3Fu) << 8) |
           (t.millisecond & 0xFFu);
}

MacroId NewMacroId() {
    // One id at a time: two threads asking together would otherwise read the same clock.
    static std::mutex mu;
    static MacroId last = 0;
    std::lock_guard<std::mutex> lock(mu);
    MacroId id;
    do {
        platform::Sleep(20);
        id = MacroIdFromTime(platform::GetLocalTime());
    } while (id == last);
    last = id;
    return id;
}

#include "macro/macro_id.h"

#include <atomic>
#include <mutex>
#include <unordered_set>

MacroId MacroIdFromTime(const platform::LocalTime& t) {
    return ((t.hour & 0x0Fu) << 20) | ((t.minute & 0x3Fu) << 14) | ((t.second & 0x3Fu) << 8) |
           (t.millisecond & 0xFFu);
}

namespace {
std::atomic<MacroIdSource> g_source{nullptr};
}  // namespace

void SetMacroIdSource(MacroIdSource source) {
    g_source.store(source);
}

MacroId NewMacroId() {
    if (MacroIdSource source = g_source.load()) return source();
    // One id at a time: two threads asking together would otherwise read the same clock. The
    // clock's milliseconds keep only their low byte, so readings 256 ms apart within one second
    // give the same id; an id this process has already handed out is never given again.
    static std::mutex mu;
    static std::unordered_set<MacroId> issued;
    std::lock_guard<std::mutex> lock(mu);
    MacroId id;
    do {
        platform::Sleep(20);
        id = MacroIdFromTime(platform::GetLocalTime());
    } while (id == 0 || !issued.insert(id).second);
    return id;
}

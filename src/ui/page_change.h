// What a user action on a page amounts to: the page models change the profile record in
// memory and hand back the apply request that carries the change to the mouse. The caller
// (a page window or the command-line tool) decides whether to place it now.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "profile/profile_file.h"
#include "profile/profile_state.h"

struct PageChange {
    uint32_t flag = 0;  // what the apply thread writes; 0: nothing changed
    uint32_t data = 0;  // which button, level or lighting zones
    // The text to show when the change was refused (nothing was stored).
    std::optional<std::string> refusal;

    bool Changed() const { return flag != 0; }
    bool operator==(const PageChange&) const = default;
};

// The values a control takes, both ends included.
struct IntRange {
    int32_t lo = 0, hi = 0;
    bool Contains(int64_t v) const { return v >= lo && v <= hi; }
};

inline PageChange Request(uint32_t flag, uint32_t data) {
    return {flag, data, {}};
}
inline PageChange Refused(std::string text) {
    return {0, 0, std::move(text)};
}

// Runs `edit` on the current profile record and the current DPI level under the profile lock,
// so the apply thread never copies a half-made change. Without a current profile nothing runs
// and an empty change comes back. The request is placed only when `place` is set and the edit
// changed something; pages pass the ApplyNow option, the command-line tool always places it.
PageChange EditCurrentProfile(
    ProfileMonitor& profile, const std::function<PageChange(ProfileFile&, int32_t& curLevel)>& edit,
    bool place);
// The same on the program's own profile, for the pages not yet handed their monitor.
PageChange EditCurrentProfile(
    const std::function<PageChange(ProfileFile&, int32_t& curLevel)>& edit, bool place);

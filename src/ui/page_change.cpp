#include "ui/page_change.h"

#include "profile/profile_state.h"
#include "profile/apply_thread.h"

PageChange EditCurrentProfile(
    ProfileMonitor& profile, const std::function<PageChange(ProfileFile&, int32_t& curLevel)>& edit,
    bool place) {
    PageChange c;
    profile.EditCurrent([&](ProfileFile& f, int32_t& level) { c = edit(f, level); });
    // Placed outside the lock: the apply thread takes the same lock when it copies the record.
    if (place && c.Changed()) RequestApply(c.flag, c.data);
    return c;
}

PageChange EditCurrentProfile(
    const std::function<PageChange(ProfileFile&, int32_t& curLevel)>& edit, bool place) {
    return EditCurrentProfile(TheProfile(), edit, place);
}

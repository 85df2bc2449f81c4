#include "ui/page_change.h"

#include "profile/profile_state.h"
#include "profile/apply_thread.h"

PageChange EditCurrentProfile(
    const std::function<PageChange(ProfileFile&, int32_t& curLevel)>& edit, bool place) {
    PageChange c;
    TheProfile().EditCurrent([&](ProfileFile& f, int32_t& level) { c = edit(f, level); });
    // Placed outside the lock: the apply thread takes the same lock when it copies the record.
    if (place && c.Changed()) RequestApply(c.flag, c.data);
    return c;
}

#include "ui/win/main_page.h"

#include "profile/apply_thread.h"

PageChange CMainPage::EditProfile(
    const std::function<PageChange(ProfileFile&, int32_t& curLevel)>& edit, bool place) {
    PageChange c;
    m_profiles.EditCurrent([&](ProfileFile& f, int32_t& level) { c = edit(f, level); });
    // Placed outside the lock: the apply thread takes the same lock when it copies the record.
    if (place && c.Changed()) RequestApply(c.flag, c.data);
    return c;
}

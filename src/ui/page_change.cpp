#include "ui/page_change.h"

#include <mutex>

#include "app/gvar.h"
#include "profile/apply_thread.h"

PageChange EditCurrentProfile(
    const std::function<PageChange(ProfileFile&, int32_t& curLevel)>& edit, bool place) {
    PageChange c;
    {
        std::lock_guard<std::mutex> lock(ProfileDataLock());
        if (!gVar.pFile) return c;
        c = edit(*gVar.pFile, gVar.g_nCurDpiLevel);
    }
    // Placed outside the lock: the apply thread takes the same lock when it copies the record.
    if (place && c.Changed()) RequestApply(c.flag, c.data);
    return c;
}

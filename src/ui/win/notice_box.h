// The window shows what the core tells as a message box.
#pragma once
#include "base/notice.h"
#include "platform/window.h"

inline void ShowNotice(const Notice& n, platform::WindowHandle owner = 0) {
    platform::ShowMessageBox(n.text, n.caption, n.look, owner);
}

// A sink that shows each notice as a box owned by `owner` (0: none), on the caller's thread.
inline NoticeSink NoticeBoxes(platform::WindowHandle owner = 0) {
    return [owner](const Notice& n) { ShowNotice(n, owner); };
}

#include "ui/win/skin_dialog.h"

#include "platform/win/wide.h"

RECT CentredOver(HWND top, int w, int h) {
    RECT over{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (top) ::GetWindowRect(top, &over);
    const int x = over.left + ((over.right - over.left) - w) / 2;
    const int y = over.top + ((over.bottom - over.top) - h) / 2;
    return {x, y, x + w, y + h};
}

std::string WindowTextUtf8(HWND wnd) {
    if (!wnd) return {};
    const int n = ::GetWindowTextLengthW(wnd);
    std::wstring w(static_cast<size_t>(n) + 1, L'\0');
    ::GetWindowTextW(wnd, w.data(), n + 1);
    w.resize(static_cast<size_t>(n));
    return platform::win::Narrow(w);
}

#include <windows.h>

#include <mutex>

#include "platform/window.h"
#include "platform/win/wide.h"

namespace platform {

using win::Widen;

namespace {
std::mutex g_hookMu;
MessageBoxHook g_hook;
}  // namespace

bool PostWindowMessage(WindowHandle wnd, uint32_t msg, std::uintptr_t wParam,
                       std::intptr_t lParam) {
    return ::PostMessageW(reinterpret_cast<HWND>(wnd), msg, wParam, lParam) != 0;
}

bool IsWindow(WindowHandle wnd) {
    return ::IsWindow(reinterpret_cast<HWND>(wnd)) != 0;
}

WindowHandle FindWindowByTitle(const std::string& title) {
    return reinterpret_cast<WindowHandle>(::FindWindowW(nullptr, Widen(title).c_str()));
}

int ShowMessageBox(const std::string& text, const std::string& caption, uint32_t flags,
                   WindowHandle owner) {
    MessageBoxHook hook;
    {
        std::lock_guard<std::mutex> lock(g_hookMu);
        hook = g_hook;
    }
    if (hook) return hook(text, caption, flags);
    return ::MessageBoxW(reinterpret_cast<HWND>(owner), Widen(text).c_str(), Widen(caption).c_str(),
                         flags);
}

void SetMessageBoxHook(MessageBoxHook hook) {
    std::lock_guard<std::mutex> lock(g_hookMu);
    g_hook = std::move(hook);
}

}  // namespace platform

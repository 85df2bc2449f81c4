// The few window services the program needs: posting messages to a window, finding a top-level
// window and showing a message box. Win32 for real; elsewhere a recorder, so that native tests
// can see what would have been posted or shown. Only the windows show message boxes: the core
// hands what it has to tell to a sink its caller gives (base/notice.h).
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

using WindowHandle = std::uintptr_t;  // an HWND; 0 is none

bool PostWindowMessage(WindowHandle wnd, uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);
bool IsWindow(WindowHandle wnd);
// The top-level window whose title is exactly `title`; 0 when there is none.
WindowHandle FindWindowByTitle(const std::string& title);

enum MessageBoxKind : uint32_t { kMbOk = 0, kMbOkCancel = 1, kMbYesNo = 4 };
enum MessageBoxIcon : uint32_t { kMbIconNone = 0, kMbIconError = 0x10, kMbIconWarning = 0x30 };
enum MessageBoxResult : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

// A modal message box without an owner. Returns the button pressed.
int ShowMessageBox(const std::string& text, const std::string& caption, uint32_t flags = kMbOk,
                   WindowHandle owner = 0);

// Replaces the message box (and, elsewhere than Windows, the recorder) for this process, so that
// a test of the windows can answer the boxes they show. An empty function restores the default.
using MessageBoxHook =
    std::function<int(const std::string& text, const std::string& caption, uint32_t flags)>;
void SetMessageBoxHook(MessageBoxHook hook);

}  // namespace platform

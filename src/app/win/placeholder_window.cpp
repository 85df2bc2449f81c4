// Until the skinned main window exists, the program shows a plain window with its title that
// closes with its close box, and answers a second start by coming to the front.
#include <windows.h>

#include "app/gvar.h"
#include "app/language_select.h"
#include "base/language_texts.h"
#include "app/startup.h"
#include "app/win/zorvan_app.h"
#include "platform/win/wide.h"

namespace {
LRESULT CALLBACK PlaceholderProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case kWmTrayNotify:
            if (lp == kWmLButtonUp) {
                ::ShowWindow(wnd, SW_SHOWNORMAL);
                ::SetForegroundWindow(wnd);
            }
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(wnd, &ps);
            RECT rc;
            ::GetClientRect(wnd, &rc);
            HBRUSH bg = ::CreateSolidBrush(RGB(18, 20, 26));
            ::FillRect(dc, &rc, bg);
            ::DeleteObject(bg);
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, RGB(0, 200, 255));
            std::wstring t = platform::win::Widen(gVar.szTitle);
            ::DrawTextW(dc, t.c_str(), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            ::EndPaint(wnd, &ps);
            return 0;
        }
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}
}  // namespace

void RunMainWindow(HINSTANCE instance, bool startHidden) {
    // The window takes the user's language before it shows anything.
    LoadLanguageAtStart();
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlaceholderProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = L"ZorvanMain";
    ::RegisterClassW(&wc);
    std::wstring title = platform::win::Widen(gVar.szTitle);
    HWND wnd =
        ::CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                          CW_USEDEFAULT, 1020, 700, nullptr, nullptr, instance, nullptr);
    if (!wnd) return;
    ::ShowWindow(wnd, startHidden ? SW_HIDE : SW_SHOWNORMAL);
    MSG m;
    while (::GetMessageW(&m, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
}

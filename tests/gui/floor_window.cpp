// The floor of tests/gui/measure: the least a Win32 program with one window costs in the same
// Wine prefix (start to window, resident memory, idle CPU). A borderless window the size of the
// main window, painted one colour, and a message loop; nothing else.
#include <windows.h>

namespace {
LRESULT CALLBACK FloorProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(wnd, &ps);
            HBRUSH brush = ::CreateSolidBrush(RGB(40, 40, 48));
            ::FillRect(dc, &ps.rcPaint, brush);
            ::DeleteObject(brush);
            ::EndPaint(wnd, &ps);
            return 0;
        }
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(wnd, msg, wp, lp);
    }
}
}  // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int show) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = inst;
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = L"ZorvanFloor";
    if (!::RegisterClassW(&wc)) return 1;
    HWND wnd = ::CreateWindowExW(0, wc.lpszClassName, L"ZorvanFloor", WS_POPUP, 100, 50, 1020, 700,
                                 nullptr, nullptr, inst, nullptr);
    if (!wnd) return 1;
    ::ShowWindow(wnd, show == SW_HIDE ? SW_SHOWNORMAL : show);
    MSG m;
    while (::GetMessageW(&m, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
    return 0;
}

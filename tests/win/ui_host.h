// A top-level window for driving skinned windows in tests: it records what its children tell
// it, and pumps messages while a test waits.
#pragma once
#include <windows.h>

#include <gdiplus.h>

#include <string>
#include <vector>

#include "app/gvar.h"
#include "controls/win/wnd_base.h"
#include "platform/sys.h"
#include "platform/window.h"

namespace zvtest {

class UiHost : public CWndBase {
  public:
    struct Seen {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
    };
    std::vector<Seen> seen;

    bool Open(int x, int y, int w, int h) {
        return CreateEx(WS_EX_TOOLWINDOW, L"ZorvanTestHost", WS_POPUP | WS_VISIBLE,
                        RECT{x, y, x + w, y + h}, nullptr, 0);
    }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_COMMAND || msg == (WM_USER + 0x77) || msg == 0x703)
            seen.push_back({msg, wp, lp});
        return CWndBase::WindowProc(msg, wp, lp);
    }
    int Count(UINT msg) const {
        int n = 0;
        for (const Seen& s : seen) n += s.msg == msg;
        return n;
    }
};

// Dispatches the messages of this thread for about `ms` milliseconds.
inline void Pump(DWORD ms = 50) {
    const DWORD end = ::GetTickCount() + ms;
    MSG m;
    do {
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&m);
            ::DispatchMessageW(&m);
        }
        ::Sleep(5);
    } while (static_cast<LONG>(::GetTickCount() - end) < 0);
}

// Message boxes are recorded into `boxes` instead of shown, until the hook is taken away
// (platform::SetMessageBoxHook(nullptr)).
inline void RecordMessageBoxes(std::vector<std::string>& boxes) {
    platform::SetMessageBoxHook([&boxes](const std::string& text, const std::string&, uint32_t) {
        boxes.push_back(text);
        return 1;
    });
}

// The folder of the test program, where the build puts the skins.
inline std::string ProgramFolder() {
    std::string exe = platform::GetExecutablePath();
    return exe.substr(0, exe.find_last_of("\\/") + 1);
}

// GDI+ for the whole test program: started by the first test that needs it and left running,
// since starting and stopping it for every test costs seconds under Wine.
inline void StartGdiplus() {
    static ULONG_PTR token = 0;
    if (token) return;
    Gdiplus::GdiplusStartupInput in;
    Gdiplus::GdiplusStartup(&token, &in, nullptr);
}

}  // namespace zvtest

#include "ui/win/program_follow.h"

#include "base/log.h"
#include "platform/win/wide.h"

namespace {
// The hook's callback has no context of its own; there is one follower, the main window's.
CProgramFollow* g_follow = nullptr;
}  // namespace

CProgramFollow::CProgramFollow(std::function<void(int)> switchTo, NameOf nameOf)
    : m_switchTo(std::move(switchTo)), m_nameOf(nameOf ? std::move(nameOf) : ProgramOfWindow) {}

CProgramFollow::~CProgramFollow() {
    SetLinks({});
}

void CProgramFollow::SetLinks(ProgramLinks links) {
    m_model.SetLinks(std::move(links));
    if (m_model.Active() && !HookInstalled()) {
        // Out of context: the events arrive on this thread's message loop, in order. The
        // window taking the focus is followed as well: some systems (Wine) never report the
        // foreground window itself, and the top-level window of the one with the focus tells
        // the same. The first range starts at EVENT_MIN because Wine asks for a thread's
        // winevent hooks only when one holds that event; the two system events before the
        // foreground one (a sound, an alert) are rare and passed over.
        m_hook = ::SetWinEventHook(EVENT_MIN, EVENT_SYSTEM_FOREGROUND, nullptr, OnEvent, 0, 0,
                                   WINEVENT_OUTOFCONTEXT);
        m_focusHook = ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, OnEvent, 0,
                                        0, WINEVENT_OUTOFCONTEXT);
        if (!m_hook || !m_focusHook)
            LogPrintf("SetWinEventHook err=%u", static_cast<unsigned>(::GetLastError()));
        g_follow = this;
    } else if (!m_model.Active() && HookInstalled()) {
        for (HWINEVENTHOOK* h : {&m_hook, &m_focusHook}) {
            if (*h) ::UnhookWinEvent(*h);
            *h = nullptr;
        }
        if (g_follow == this) g_follow = nullptr;
    }
    // The program in front now decides at once, not only at the next change.
    m_front = nullptr;
    if (HookInstalled()) OnForeground(::GetForegroundWindow());
}

void CALLBACK CProgramFollow::OnEvent(HWINEVENTHOOK hook, DWORD event, HWND wnd, LONG /*obj*/,
                                      LONG /*child*/, DWORD /*thread*/, DWORD /*time*/) {
    if (event != EVENT_SYSTEM_FOREGROUND && event != EVENT_OBJECT_FOCUS) return;
    if (!g_follow || (g_follow->m_hook != hook && g_follow->m_focusHook != hook)) return;
    // The event only says that something changed; the window in front decides. A focus event
    // can name a window that is not in front: our own controls announce their focus to screen
    // readers, and Wine reports a thread's focus returning to a window behind another. Taken
    // at its word, such an event switched a linked game's profile back to the default. With
    // no window in front (the last one closed) the window taking the focus is the one.
    if (event == EVENT_OBJECT_FOCUS)
        if (const HWND front = ::GetForegroundWindow()) wnd = front;
    g_follow->OnForeground(wnd);
}

void CProgramFollow::OnForeground(HWND wnd) {
    if (wnd) wnd = ::GetAncestor(wnd, GA_ROOT);
    // Focus moving inside one window is no change of program; its name is not looked up again.
    if (!wnd || wnd == m_front) return;
    m_front = wnd;
    const int index = m_model.OnForeground(m_nameOf(wnd));
    if (index >= 0 && m_switchTo) m_switchTo(index);
}

std::string CProgramFollow::ProgramOfWindow(HWND wnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    if (pid == 0) return "";
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return "";
    wchar_t path[MAX_PATH * 2];
    DWORD size = ARRAYSIZE(path);
    const BOOL ok = ::QueryFullProcessImageNameW(process, 0, path, &size);
    ::CloseHandle(process);
    if (!ok) return "";
    const std::optional<std::string> name =
        ProgramNameOf(platform::win::Narrow(std::wstring(path, size)));
    return name ? *name : "";
}

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
    if (m_model.Active() && !m_hook) {
        // Out of context: the events arrive on this thread's message loop, in order.
        m_hook = ::SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                   OnEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
        if (m_hook)
            g_follow = this;
        else
            LogPrintf("SetWinEventHook err=%u", static_cast<unsigned>(::GetLastError()));
    } else if (!m_model.Active() && m_hook) {
        ::UnhookWinEvent(m_hook);
        m_hook = nullptr;
        if (g_follow == this) g_follow = nullptr;
    }
    // The program in front now decides at once, not only at the next change.
    if (m_hook) OnForeground(::GetForegroundWindow());
}

void CALLBACK CProgramFollow::OnEvent(HWINEVENTHOOK hook, DWORD event, HWND wnd, LONG obj,
                                      LONG /*child*/, DWORD /*thread*/, DWORD /*time*/) {
    if (event != EVENT_SYSTEM_FOREGROUND || obj != OBJID_WINDOW) return;
    if (g_follow && g_follow->m_hook == hook) g_follow->OnForeground(wnd);
}

void CProgramFollow::OnForeground(HWND wnd) {
    if (!wnd) return;
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

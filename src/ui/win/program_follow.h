// The profile follows the program in front: the system's events for the foreground window and
// for the focus, the program's .exe name, and ProfileFollower's decision. The event hook exists
// only while a program is linked, so without links the window costs nothing at all; no timer and no
// polling either way.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "ui/program_links.h"

class CProgramFollow {
  public:
    // The .exe name of the program a top-level window belongs to; "" when it cannot be had.
    // This program's own window is a program like any other: coming to it leaves a linked
    // game, so the mouse goes back to the default.
    using NameOf = std::function<std::string(HWND)>;
    // `switchTo` is given the profile (0 to 3) to switch to; it places the switch.
    explicit CProgramFollow(std::function<void(int)> switchTo, NameOf nameOf = nullptr);
    ~CProgramFollow();
    CProgramFollow(const CProgramFollow&) = delete;
    CProgramFollow& operator=(const CProgramFollow&) = delete;

    // New links: the hook is installed when there is one, removed when there is none.
    void SetLinks(ProgramLinks links);
    const ProgramLinks& Links() const { return m_model.Links(); }
    void SetMouseProfile(int index) { m_model.SetMouseProfile(index); }
    bool HookInstalled() const { return m_hook || m_focusHook; }

    // The program a window belongs to, by its process's image name.
    static std::string ProgramOfWindow(HWND wnd);

  private:
    static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND wnd, LONG obj, LONG child,
                                 DWORD thread, DWORD time);
    void OnForeground(HWND wnd);

    ProfileFollower m_model;
    std::function<void(int)> m_switchTo;
    NameOf m_nameOf;
    HWINEVENTHOOK m_hook = nullptr;       // the foreground window
    HWINEVENTHOOK m_focusHook = nullptr;  // the window with the focus
    HWND m_front = nullptr;               // the top-level window last looked at
};

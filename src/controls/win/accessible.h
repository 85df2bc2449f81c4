// The accessible object our windows give screen readers: the skinned controls draw themselves,
// so the system cannot tell what they are. The object asks the window's Describe at every
// question, so a reader always hears the state of now, and leaves place, parent and navigation
// to the system's standard object for the window.
#pragma once
#include <windows.h>

// IAccessible's interface id. Our own copy: the import library of the accessibility DLL also
// has a symbol of that name (a jump into the DLL, not the id), and which one the linker picks
// depends on the order of the libraries.
extern const IID kIidAccessible;

// The answer to WM_GETOBJECT (OBJID_CLIENT) for `wnd`, whose CWndBase describes itself; 0 when
// the object cannot be made.
LRESULT AnswerAccessible(HWND wnd, WPARAM wp);

// The state bits a reader is given for a window with this description (STATE_SYSTEM_...).
long AccessibleState(HWND wnd, bool checked, bool disabled, bool focusable);

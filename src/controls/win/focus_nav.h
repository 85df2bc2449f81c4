// Tab, Shift+Tab and the arrows of a radio group over our windows: which controls under a top
// window a person can reach now (visible, enabled, taking Tab), in the order of
// keyboard_model.h. A page that is hidden hides its controls, so the focus never goes there.
#pragma once
#include <windows.h>

#include <vector>

// The controls under `root` that take Tab now, in the order Tab visits them (a radio group once,
// at its chosen member).
std::vector<HWND> TabOrder(HWND root);
// Moves the focus to the next (previous) stop under `root`; false when there is none.
bool MoveTabFocus(HWND root, bool back);
// The radio button `delta` places on from `control` in its group (among its siblings) takes the
// focus and is pressed, as a click would press it; false when `control` has no group.
bool StepFocusGroup(HWND control, int delta);
// What a window's key filter does with a key message under `root`: Tab and Shift+Tab (down)
// move the focus (kMoved: swallow it), a key the focused control acts on goes to it
// (kForControl: dispatch it), anything else is the window's to judge (kOther).
enum class DialogKey { kMoved, kForControl, kOther };
DialogKey RouteDialogKey(HWND root, const MSG& msg);
// Whether the key message is for a control under `root` that acts on that key itself (a filter
// that swallows keys lets these through).
bool ControlTakesKey(HWND root, const MSG& msg);
// Whether `wnd` is `root` or lies under it.
bool IsWithin(HWND wnd, HWND root);

// Where a small skinned dialog opens: centred over the main window it belongs to (the owner's
// top-level window), else over the screen.
#pragma once
#include <windows.h>

// The window rectangle of a `width` x `height` dialog; `top` receives the owner's top-level
// window (null without an owner), which is what the dialog should be owned by.
RECT CentredDialogRect(HWND owner, int width, int height, HWND* top);

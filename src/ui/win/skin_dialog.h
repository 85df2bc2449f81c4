// Small pieces every skinned modal dialog shares: where it opens and the text of its boxes.
#pragma once
#include <windows.h>

#include <string>

// A w x h window centred over `top` (the main window), else over the screen.
RECT CentredOver(HWND top, int w, int h);
// The text of a window (an edit box) as UTF-8.
std::string WindowTextUtf8(HWND wnd);

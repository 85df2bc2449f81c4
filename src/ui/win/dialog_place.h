// The common start of the small skinned dialogs: the window sized to its background picture,
// centred over the main window it belongs to (the owner's top-level window, else the screen),
// shaped by the dialogs' key colour, and dragged by its background.
#pragma once
#include <windows.h>

#include <string>

#include "controls/win/skin_picture.h"
#include "controls/win/ui_theme.h"
#include "controls/win/wnd_base.h"

// The window rectangle of a `width` x `height` dialog; `top` receives the owner's top-level
// window (null without an owner), which is what the dialog should be owned by.
RECT CentredDialogRect(HWND owner, int width, int height, HWND* top);

enum class SkinDialogStart {
    kFailed,   // no window
    kClosing,  // the picture is missing: the window closes itself at once, as cancelled
    kReady,
};
// Creates `dlg`'s window titled `title` over the picture `skinFile` (doubled on large screens),
// which is kept in `bkg`.
SkinDialogStart CreateSkinDialog(CWndBase& dlg, HWND owner, const char* title,
                                 const std::string& skinFile, const UiTheme& theme,
                                 PicturePtr* bkg);

// A left press on a dialog without a caption moves it; true when `msg` was that press.
bool DragByBackground(HWND wnd, UINT msg, POINT pt);

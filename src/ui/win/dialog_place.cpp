#include "ui/win/dialog_place.h"

#include "controls/skin_paths.h"
#include "platform/win/wide.h"

RECT CentredDialogRect(HWND owner, int width, int height, HWND* top) {
    RECT over{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    HWND root = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    if (root) ::GetWindowRect(root, &over);
    if (top) *top = root;
    const int x = over.left + ((over.right - over.left) - width) / 2;
    const int y = over.top + ((over.bottom - over.top) - height) / 2;
    return RECT{x, y, x + width, y + height};
}

SkinDialogStart CreateSkinDialog(CWndBase& dlg, HWND owner, const char* title,
                                 const std::string& skinFile, const UiTheme& theme,
                                 PicturePtr* bkg) {
    *bkg = LoadSkinPicture(SkinPath(skinFile));
    if (theme.large && PicturePresent(bkg->get())) *bkg = ScalePicture(bkg->get(), 2.0);
    const int w = PictureWidth(bkg->get()), h = PictureHeight(bkg->get());
    HWND top = nullptr;
    const RECT at = CentredDialogRect(owner, w, h, &top);
    if (!dlg.CreateEx(WS_EX_TOOLWINDOW, platform::win::Widen(title), WS_POPUP | WS_CLIPCHILDREN, at,
                      top, 0)) {
        return SkinDialogStart::kFailed;
    }
    if (!PicturePresent(bkg->get())) {
        // Without its picture the dialog has no size: it goes away at once, as cancelled.
        dlg.PostMessage(WM_CLOSE);
        ::ShowWindow(dlg.m_hWnd, SW_SHOWNA);
        return SkinDialogStart::kClosing;
    }
    ShapeWindowFromPicture(dlg.m_hWnd, bkg->get(), theme.maskDialog, 0);
    return SkinDialogStart::kReady;
}

bool DragByBackground(HWND wnd, UINT msg, POINT pt) {
    if (msg != WM_LBUTTONDOWN) return false;
    ::ReleaseCapture();
    ::SendMessageW(wnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
    return true;
}

#include "controls/win/skinned_dialog.h"

#include <algorithm>

#include "controls/skin_paths.h"
#include "controls/win/focus_nav.h"
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

SkinDialogStart CSkinnedDialog::StartSkinned(HWND owner, const std::string& skinFile) {
    SetBufferedPaint(true);
    const SkinDialogStart start =
        CreateSkinDialog(*this, owner, kWindowTitle, skinFile, theme, &m_bkg);
    if (start == SkinDialogStart::kReady) {
        m_font = UiFont(theme.font, theme.FontHeight(), FW_NORMAL);
        m_editBrush.Reset(::CreateSolidBrush(theme.edit));
    }
    return start;
}

HWND CSkinnedDialog::MakeEditBox(UINT id, const RECT& rc, DWORD style, const std::string& text,
                                 HFONT font, int limit) {
    HWND box = ::CreateWindowExW(0, L"EDIT", platform::win::Widen(text).c_str(),
                                 WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | style, rc.left, rc.top,
                                 rc.right - rc.left, rc.bottom - rc.top, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), AppInstance(),
                                 nullptr);
    if (!box) return nullptr;
    ::SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (limit > 0) ::SendMessageW(box, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
    m_editBoxes.push_back(box);
    return box;
}

void CSkinnedDialog::SetDialogKeys(std::initializer_list<UINT> ignored,
                                   std::function<void()> enter) {
    m_ignoredKeys.assign(ignored);
    m_enter = std::move(enter);
}

bool CSkinnedDialog::PreTranslateMessage(MSG* msg) {
    const UINT m = msg->message;
    if (m != WM_KEYDOWN && m != WM_KEYUP && m != WM_SYSKEYDOWN && m != WM_SYSKEYUP) return false;
    switch (RouteDialogKey(m_hWnd, *msg)) {
        case DialogKey::kMoved:
            return true;
        case DialogKey::kForControl:
            return false;
        case DialogKey::kOther:
            break;
    }
    return OnDialogKey(*msg);
}

bool CSkinnedDialog::OnDialogKey(const MSG& msg) {
    const auto vk = static_cast<UINT>(msg.wParam);
    if (vk == VK_RETURN && m_enter) {
        // Pressed once, however long it is held: the release and the repeats do nothing.
        if (msg.message == WM_KEYDOWN) m_enter();
        return true;
    }
    return std::find(m_ignoredKeys.begin(), m_ignoredKeys.end(), vk) != m_ignoredKeys.end();
}

void CSkinnedDialog::PaintBackdrop(CMemPaint& buf) {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    DrawPictureStretched(buf.g(), m_bkg.get(), client);
}

void CSkinnedDialog::OnPaint(CMemPaint& buf) {
    PaintBackdrop(buf);
    // The texts are drawn with GDI over what GDI+ has drawn so far.
    buf.g().Flush(Gdiplus::FlushIntentionSync);
    OnPaintDialog(buf);
}

LRESULT CSkinnedDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    // There is no help to give.
    if (msg == WM_HELP) return TRUE;
    return CDialogBase::WindowProc(msg, wp, lp);
}

bool CSkinnedDialog::OnCommand(UINT, UINT, HWND) {
    return true;
}

HBRUSH CSkinnedDialog::OnCtlColor(UINT msg, HDC dc, HWND from) {
    if ((msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC) || !m_editBrush) return nullptr;
    if (std::find(m_editBoxes.begin(), m_editBoxes.end(), from) == m_editBoxes.end())
        return nullptr;
    // The boxes in the theme's colours, like every other input of the program.
    ::SetTextColor(dc, theme.text);
    ::SetBkColor(dc, theme.edit);
    return m_editBrush.get();
}

bool CSkinnedDialog::OnMouse(UINT msg, POINT pt, WPARAM) {
    // No caption: the dialog is dragged by its background.
    return DragByBackground(m_hWnd, msg, pt);
}

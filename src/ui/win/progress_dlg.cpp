#include "ui/win/progress_dlg.h"

#include "app/gvar.h"
#include "base/language_texts.h"
#include "controls/skin_paths.h"
#include "platform/win/wide.h"
#include "profile/apply_thread.h"
#include "ui/win/theme_options.h"

CProgressDlg::~CProgressDlg() {
    DestroyWindow();
}

bool CProgressDlg::CreateDialogWindow(HWND owner) {
    m_bkg = LoadSkinPicture(SkinPath("progress_nr.png"));
    m_ov = LoadSkinPicture(SkinPath("progress_ov.png"));
    const bool skins = PicturePresent(m_bkg.get()) && PicturePresent(m_ov.get());
    const bool large = gVar.b4K != 0;
    if (skins && large) {
        m_bkg = ScalePicture(m_bkg.get(), 2.0);
        m_ov = ScalePicture(m_ov.get(), 2.0);
        textRect = Double4K(textRect);
        barRect = Double4K(barRect);
    }
    const int w = skins ? PictureWidth(m_bkg.get()) : 1, h = skins ? PictureHeight(m_bkg.get()) : 1;
    RECT over{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    HWND top = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    if (top) ::GetWindowRect(top, &over);
    const int x = over.left + ((over.right - over.left) - w) / 2;
    const int y = over.top + ((over.bottom - over.top) - h) / 2;
    // The apply thread finds the window by this title before it writes.
    if (!CreateEx(WS_EX_TOOLWINDOW, platform::win::Widen(kProgressWindowTitle),
                  WS_POPUP | WS_CLIPCHILDREN, RECT{x, y, x + w, y + h}, top, 0))
        return false;
    SetBufferedPaint(true);
    m_font.Reset(::CreateFontW(large ? 26 : 14, 0, 0, 0, FW_LIGHT, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Shell Dlg"));
    if (!skins) {
        // The write still runs; only its progress is not shown.
        ::MessageBoxW(m_hWnd, L"ProgressDlg skin loss", L"", MB_OK);
        PostMessage(WM_CLOSE);
        return true;
    }
    PicturePtr exitPic = LoadSkinPicture(SkinPath("exit_nr.png"));
    PngBtnArgs a;
    a.id = kIdExit;
    a.rc = large ? RECT{w - 90, 20, w - 50, 70} : RECT{w - 45, 10, w - 25, 35};
    a.normal = a.hover = a.pressed = exitPic.get();
    a.background = m_bkg.get();
    a.onClick = [this] { EndDialog(IDCANCEL); };
    m_exit.Create(m_hWnd, a, ThemeFromOptions());
    ::ShowWindow(m_hWnd, SW_SHOW);
    return true;
}

void CProgressDlg::OnPaint(CMemPaint& mp) {
    Gdiplus::Graphics& g = mp.g();
    DrawPicture(g, m_bkg.get(), 0, 0);
    const int right = m_bar.FillRight(barRect.left, barRect.right);
    if (PicturePresent(m_ov.get()) && right > 0) {
        g.DrawImage(m_ov->bmp.get(), Gdiplus::Rect(0, 0, right, PictureHeight(m_ov.get())), 0, 0,
                    right, PictureHeight(m_ov.get()), Gdiplus::UnitPixel);
    }
    DrawSkinText(mp.dc(), text, textRect, RGB(255, 255, 255), m_font.get(),
                 DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

LRESULT CProgressDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PROGRESS_SETPOS:
            m_bar.SetPos(static_cast<int>(wp));
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
            ::UpdateWindow(m_hWnd);
            return 0;
        default:
            break;
    }
    return CDialogBase::WindowProc(msg, wp, lp);
}

bool CProgressDlg::PreTranslateMessage(MSG* msg) {
    return SwallowsKey(kProgressKeys, msg->message, static_cast<uint32_t>(msg->wParam));
}

INT_PTR RunResetProgress(HWND owner) {
    CProgressDlg dlg;
    dlg.text = GetText("tc_msg12");
    dlg.textRect = {15, 12, 455, 32};
    dlg.barRect = {45, 101, 486, 123};
    dlg.SetRange(0, 100);
    dlg.SetPos(0);
    return dlg.DoModal(owner);
}

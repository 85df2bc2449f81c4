#include "ui/win/about_dlg.h"

#include <shellapi.h>

#include "app/gvar.h"
#include "app/language_texts.h"
#include "controls/skin_paths.h"
#include "device/discovery.h"
#include "platform/win/wide.h"
#include "ui/win/msg_dlg.h"

namespace {
// The release number of the first active mouse, if any.
std::optional<uint32_t> ActiveMouseVersion() {
    for (int i = 0; i < kMaxDeviceSlots; ++i) {
        const DeviceSlot s = GetDeviceSlot(i);
        if (s.bActive) return s.version;
    }
    return std::nullopt;
}
}  // namespace

CAboutDlg::~CAboutDlg() {
    DestroyWindow();
    if (m_ownFont && m_font) ::DeleteObject(m_font);
}

bool CAboutDlg::CreateDialogWindow(HWND owner) {
    m_bkg = LoadSkinPicture(SkinPath("msg_nr.png"));
    HWND top = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    const bool present = PicturePresent(m_bkg.get());
    PicturePtr scaled = present && gVar.b4K ? ScalePicture(m_bkg.get(), 2.0) : nullptr;
    SkinPicture* shape = scaled ? scaled.get() : m_bkg.get();
    const int w = present ? PictureWidth(shape) : 1, h = present ? PictureHeight(shape) : 1;
    RECT over{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (top) ::GetWindowRect(top, &over);
    const int x = over.left + ((over.right - over.left) - w) / 2;
    const int y = over.top + ((over.bottom - over.top) - h) / 2;
    if (!CreateEx(WS_EX_TOOLWINDOW, platform::win::Widen(CMsgDlg::kWindowTitle),
                  WS_POPUP | WS_CLIPCHILDREN, RECT{x, y, x + w, y + h}, top, 0))
        return false;
    if (!present) {
        PostMessage(WM_CLOSE);
        return true;
    }
    if (gVar.clrMaskDialog) ShapeWindowFromPicture(m_hWnd, shape, gVar.clrMaskDialog, 0);
    m_font = MakeUiFont(gVar.b4K ? 26 : 16, FW_NORMAL, &m_ownFont);
    m_layout = LayoutAbout(!GetText("tc_fwver").empty(), gVar.b4K != 0);

    auto place = [](CPngBtn& b) {
        if (gVar.b4K && b.m_hWnd) LayoutChildFor4K(b.m_hWnd);
    };
    const POINT closeAt{399, 10}, fwAt{280, 105};
    NewSmallPngButton3("exit_nr.png", "exit_nr.png", "exit_nr.png", &m_close, m_hWnd, m_bkg.get(),
                       &closeAt, false, gVar.BtnTips != 0, "", 399, 10, kIdClose);
    place(m_close);

    const RECT linkRc{60, 105, 260, 125};
    NewPngButton(&m_link, linkRc, m_bkg.get(), m_bkg.get(), m_bkg.get(), false,
                 GetText("tc_msg24").c_str(), m_hWnd, kIdLink);
    if (m_link.m_hWnd) {
        m_link.SetTextColors(gVar.Btn_txt_clr_nr, gVar.Btn_txt_clr_ov, gVar.Btn_txt_clr_dn);
        if (gVar.hAppFont) m_link.SetFont(reinterpret_cast<HFONT>(gVar.hAppFont));
        m_link.SetDebugFrame(gVar.UIDebug != 0);
        m_link.SetText(GetText("tc_msg24"), 1);
        m_link.SetTextFormat(DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        place(m_link);
    }

    NewSmallPngButton3("reset_nr.png", "reset_nr.png", "reset_nr.png", &m_fw, m_hWnd, m_bkg.get(),
                       &fwAt, false, gVar.BtnTips != 0, GetText("tc_msg8").c_str(), 280, 105,
                       kIdFwUpdate);
    if (m_fw.m_hWnd) {
        m_fw.SetTextColors(RGB(100, 100, 100), RGB(100, 100, 100), RGB(100, 100, 100));
        ::ShowWindow(m_fw.m_hWnd, gVar.ShowFWUpdate ? SW_SHOW : SW_HIDE);
        place(m_fw);
    }
    ::ShowWindow(m_hWnd, SW_SHOW);
    return true;
}

void CAboutDlg::Paint() {
    CMemPaint mp(m_hWnd);
    Gdiplus::Graphics& g = mp.g();
    const RECT all{0, 0, mp.width(), mp.height()};
    if (gVar.clrLowBkg) {
        const uint32_t c = gVar.clrLowBkg;
        Gdiplus::SolidBrush b(Gdiplus::Color(200, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
        g.FillRectangle(&b, 0, 0, mp.width(), mp.height());
    }
    DrawPictureStretched(g, m_bkg.get(), all);
    const UINT fmt = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
    DrawSkinText(mp.dc(), GetText("tc_msg21"), ToRect(m_layout.a), gVar.Txt_clr, m_font, fmt);
    DrawSkinText(mp.dc(), GetText("tc_version"), ToRect(m_layout.b), gVar.Txt_clr, m_font, fmt);
    if (auto fw = FirmwareLine(GetText("tc_fwver"), ActiveMouseVersion()))
        DrawSkinText(mp.dc(), *fw, ToRect(m_layout.c), gVar.Txt_clr, m_font, fmt);
}

LRESULT CAboutDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
        case WM_HELP:
            return TRUE;
        case WM_CLOSE:
            // Only the close button (or a missing picture) ends the window.
            if (PicturePresent(m_bkg.get()) && m_close.m_hWnd) return 0;
            break;
        case WM_LBUTTONDOWN:
            ::PostMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, lp);
            return 0;
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case kIdClose:
                    EndDialog(IDOK);
                    return 0;
                case kIdLink: {
                    const std::string& web = GetText("tc_web");
                    if (!web.empty())
                        ::ShellExecuteW(m_hWnd, L"open", platform::win::Widen(web).c_str(), nullptr,
                                        nullptr, SW_SHOWNORMAL);
                    return 0;
                }
                default:
                    return 0;
            }
        default:
            break;
    }
    return CDialogBase::WindowProc(msg, wp, lp);
}

bool CAboutDlg::PreTranslateMessage(MSG* msg) {
    return SwallowsKey(kAboutKeys, msg->message, static_cast<uint32_t>(msg->wParam));
}

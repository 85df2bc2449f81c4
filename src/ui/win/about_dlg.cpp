#include "ui/win/about_dlg.h"

#include <shellapi.h>

#include "base/language_texts.h"
#include "base/version.h"
#include "controls/skin_paths.h"
#include "controls/win/focus_nav.h"
#include "controls/win/ui_theme.h"
#include "device/discovery.h"
#include "platform/win/wide.h"
#include "ui/about_version.h"
#include "ui/win/msg_dlg.h"
#include "ui/win/skin_backdrop.h"
#include "ui/win/skin_dialog.h"
#include "ui/win/theme_options.h"

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
}

bool CAboutDlg::CreateDialogWindow(HWND owner) {
    m_bkg = LoadSkinPicture(SkinPath("msg_nr.png"));
    HWND top = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    const bool present = PicturePresent(m_bkg.get());
    PicturePtr scaled = present && m_paths.b4K ? ScalePicture(m_bkg.get(), 2.0) : nullptr;
    SkinPicture* shape = scaled ? scaled.get() : m_bkg.get();
    const int w = present ? PictureWidth(shape) : 1, h = present ? PictureHeight(shape) : 1;
    if (!CreateEx(WS_EX_TOOLWINDOW, platform::win::Widen(CMsgDlg::kWindowTitle),
                  WS_POPUP | WS_CLIPCHILDREN, CentredOver(top, w, h), top, 0))
        return false;
    SetBufferedPaint(true);
    if (!present) {
        PostMessage(WM_CLOSE);
        return true;
    }
    if (m_options.clrMaskDialog) ShapeWindowFromPicture(m_hWnd, shape, m_options.clrMaskDialog, 0);
    const UiTheme theme = ThemeFrom(m_options, m_paths);
    UiTheme flatTheme = theme;
    flatTheme.large = false;
    m_font = UiFont(theme.font, m_paths.b4K ? 26 : 16, FW_NORMAL);
    m_layout = LayoutAbout(!GetText("tc_fwver").empty(), m_paths.b4K != 0);

    // Made at the picture's own coordinates, then moved to twice them on large screens.
    const bool large = m_paths.b4K != 0;
    auto place = [large](CPngBtn& b) {
        if (large && b.m_hWnd) LayoutChildFor4K(b.m_hWnd);
    };
    PngBtnArgs close;
    close.id = kIdClose;
    close.rc = {399, 10, 399, 10};
    close.background = m_bkg.get();
    close.backgroundAt = POINT{399, 10};
    close.tooltip = m_options.BtnTips != 0;
    close.onClick = [this] { EndDialog(IDOK); };
    close.accName = GetText("tc_exit");
    NewSmallPngButton3(&m_close, m_hWnd, {"exit_nr.png", "exit_nr.png", "exit_nr.png"}, close,
                       flatTheme);
    place(m_close);

    PngBtnArgs link;
    link.id = kIdLink;
    link.rc = {60, 105, 260, 125};
    link.normal = link.hover = link.pressed = m_bkg.get();
    link.caption = GetText("tc_msg24");
    link.textOffset = 1;
    link.onClick = [] {
        const std::string& web = GetText("tc_web");
        if (!web.empty())
            ::ShellExecuteW(nullptr, L"open", platform::win::Widen(web).c_str(), nullptr, nullptr,
                            SW_SHOWNORMAL);
    };
    NewPngButton(&m_link, m_hWnd, link, flatTheme);
    place(m_link);

    // The firmware-update button has no action of its own yet.
    PngBtnArgs fw;
    fw.id = kIdFwUpdate;
    fw.rc = {280, 105, 280, 105};
    fw.caption = GetText("tc_msg8");
    fw.background = m_bkg.get();
    fw.backgroundAt = POINT{280, 105};
    fw.tooltip = m_options.BtnTips != 0;
    fw.visible = m_options.ShowFWUpdate != 0;
    fw.onClick = [] {};
    UiTheme grey = flatTheme;
    grey.buttonNormal = grey.buttonHover = grey.buttonPressed = RGB(100, 100, 100);
    NewSmallPngButton3(&m_fw, m_hWnd, {"reset_nr.png", "reset_nr.png", "reset_nr.png"}, fw, grey);
    place(m_fw);
    ::ShowWindow(m_hWnd, SW_SHOW);
    return true;
}

void CAboutDlg::OnPaint(CMemPaint& mp) {
    PaintSkinBackdrop(mp, m_bkg.get(), m_options.clrLowBkg);
    const UINT fmt = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
    DrawSkinText(mp.dc(), GetText("tc_msg21"), ToRect(m_layout.a), m_options.Txt_clr, m_font.get(),
                 fmt);
    DrawSkinText(mp.dc(), VersionLine(GetText("tc_version"), kProgramVersion), ToRect(m_layout.b),
                 m_options.Txt_clr, m_font.get(), fmt);
    if (auto fw = FirmwareLine(GetText("tc_fwver"), ActiveMouseVersion()))
        DrawSkinText(mp.dc(), *fw, ToRect(m_layout.c), m_options.Txt_clr, m_font.get(), fmt);
}

LRESULT CAboutDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_HELP:
            return TRUE;
        case WM_CLOSE:
            // Only the close button (or a missing picture) ends the window.
            if (PicturePresent(m_bkg.get()) && m_close.m_hWnd) return 0;
            break;
        case WM_LBUTTONDOWN:
            ::PostMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, lp);
            return 0;
        default:
            break;
    }
    return CDialogBase::WindowProc(msg, wp, lp);
}

bool CAboutDlg::PreTranslateMessage(MSG* msg) {
    // Escape closes the window, as its close button does; Tab walks its buttons.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
        EndDialog(IDOK);
        return true;
    }
    switch (RouteDialogKey(m_hWnd, *msg)) {
        case DialogKey::kMoved:
            return true;
        case DialogKey::kForControl:
            return false;
        case DialogKey::kOther:
            break;
    }
    return SwallowsKey(kAboutKeys, msg->message, static_cast<uint32_t>(msg->wParam));
}

#include "ui/win/firekey_dlg.h"

#include "controls/win/focus_nav.h"
#include "base/language_texts.h"
#include "controls/skin_paths.h"
#include "platform/win/wide.h"
#include "ui/win/msg_dlg.h"
#include "ui/win/skin_dialog.h"

namespace {
// Everything lies below the rule of the dialog's title band (y 38), so the rule never runs
// through a label.
constexpr RECT kCountBox{117, 66, 217, 86};
constexpr RECT kIntervalBox{247, 66, 347, 86};

// A label above a box: from 22 to 3 pixels above it, 30 pixels wider (15 each side).
RECT LabelAbove(const RECT& box) {
    return {box.left - 15, box.top - 22, box.right + 15, box.top - 3};
}
}  // namespace

CFirekeyDlg::CFirekeyDlg(const KeyInfo& current, const UiTheme& theme)
    : m_current(current), m_theme(theme) {}

CFirekeyDlg::~CFirekeyDlg() {
    DestroyWindow();
    if (m_editFont) ::DeleteObject(m_editFont);
    if (m_ownFont && m_font) ::DeleteObject(m_font);
    if (m_countBrush) ::DeleteObject(m_countBrush);
    if (m_editBrush) ::DeleteObject(m_editBrush);
}

RECT CFirekeyDlg::Scaled(const RECT& r) const {
    return m_theme.large ? Double4K(r) : r;
}

HWND CFirekeyDlg::MakeBox(UINT id, const RECT& where, const std::string& text) {
    const RECT rc = Scaled(where);
    HWND box = ::CreateWindowExW(
        0, L"EDIT", platform::win::Widen(text).c_str(),
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_CENTER | ES_NUMBER | ES_AUTOHSCROLL, rc.left,
        rc.top, rc.right - rc.left, rc.bottom - rc.top, m_hWnd,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), AppInstance(), nullptr);
    ::SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(m_editFont), FALSE);
    // A box reads at most 40 characters as a number.
    ::SendMessageW(box, EM_LIMITTEXT, 40, 0);
    return box;
}

bool CFirekeyDlg::CreateDialogWindow(HWND owner) {
    m_bkg = LoadSkinPicture(SkinPath("msg_nr.png"));
    if (m_theme.large && PicturePresent(m_bkg.get())) m_bkg = ScalePicture(m_bkg.get(), 2.0);
    const int w = PictureWidth(m_bkg.get()), h = PictureHeight(m_bkg.get());
    HWND top = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    if (!CreateEx(WS_EX_TOOLWINDOW, platform::win::Widen(CMsgDlg::kWindowTitle),
                  WS_POPUP | WS_CLIPCHILDREN, CentredOver(top, w, h), top, 0))
        return false;
    if (!PicturePresent(m_bkg.get())) {
        PostMessage(WM_CLOSE);
        ::ShowWindow(m_hWnd, SW_SHOWNA);
        return true;
    }
    ShapeWindowFromPicture(m_hWnd, m_bkg.get(), m_theme.maskDialog, 0);
    m_font = MakeUiFont(m_theme.font, m_theme.FontHeight(), FW_NORMAL, &m_ownFont);
    m_editFont = ::CreateFontW(m_theme.large ? 32 : 16, 0, 0, 0, 600, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Shell Dlg");
    m_editBrush = ::CreateSolidBrush(m_theme.edit);

    auto makeButton = [&](CPngBtn& b, const char* file, const RECT& where, UINT id,
                          const std::string& caption) {
        PicturePtr pic = LoadSkinPicture(SkinPath(file));
        PngBtnArgs a;
        a.id = id;
        a.rc = Scaled(where);
        a.caption = caption;
        a.normal = a.hover = a.pressed = pic.get();
        a.background = m_bkg.get();
        a.pressShift = true;
        b.Create(m_hWnd, a, m_theme);
    };
    makeButton(m_close, "exit_nr.png", RECT{399, 10, 424, 35}, kIdClose, "");
    makeButton(m_ok, "button2_nr.png", RECT{136, 114, 216, 141}, kIdOk, GetText("tc_ok"));
    makeButton(m_cancel, "button2_nr.png", RECT{242, 114, 322, 141}, kIdCancel,
               GetText("tc_cancel"));

    const FireValues v = FireOpening(m_current);
    m_settingText = true;
    m_count = MakeBox(kIdCount, kCountBox, FireCountShown(v));
    m_interval = MakeBox(kIdInterval, kIntervalBox, FireIntervalShown(v));
    m_settingText = false;
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    ::SetFocus(m_count);
    return true;
}

std::string CFirekeyDlg::BoxText(HWND box) const {
    return WindowTextUtf8(box);
}

void CFirekeyDlg::OnBoxChanged(HWND box) {
    if (m_settingText) return;
    const std::string text = BoxText(box);
    const std::optional<std::string> replaced =
        box == m_count ? FireCountTyped(text, countLimit) : FireIntervalTyped(text);
    if (!replaced) return;
    m_settingText = true;
    ::SetWindowTextW(box, platform::win::Widen(*replaced).c_str());
    const int len = ::GetWindowTextLengthW(box);
    ::SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(len), len);
    m_settingText = false;
}

void CFirekeyDlg::OnOk() {
    const std::optional<uint16_t> r = FireResult(BoxText(m_count), BoxText(m_interval), countLimit);
    if (!r) return;  // no count within the limit: the dialog stays
    m_result = *r;
    EndDialog(IDOK);
}

bool CFirekeyDlg::PreTranslateMessage(MSG* msg) {
    const UINT m = msg->message;
    if (m != WM_KEYDOWN && m != WM_KEYUP && m != WM_CHAR && m != WM_SYSKEYDOWN && m != WM_SYSKEYUP)
        return false;
    // Tab moves between the boxes and the buttons; a focused button takes Space and Enter.
    switch (RouteDialogKey(m_hWnd, *msg)) {
        case DialogKey::kMoved:
            return true;
        case DialogKey::kForControl:
            return false;
        case DialogKey::kOther:
            break;
    }
    // Enter, Esc, Space and F1 neither close the dialog nor press a button.
    switch (msg->wParam) {
        case VK_RETURN:
        case VK_ESCAPE:
        case VK_SPACE:
        case VK_F1:
            return true;
        default:
            return false;
    }
}

LRESULT CFirekeyDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return TRUE;
        case WM_PAINT: {
            CMemPaint buf(m_hWnd);
            Paint(buf.dc());
            return 0;
        }
        case WM_COMMAND: {
            const UINT id = LOWORD(wp);
            if ((id == kIdCount || id == kIdInterval) && HIWORD(wp) == EN_CHANGE)
                OnBoxChanged(reinterpret_cast<HWND>(lp));
            else if (id == kIdOk)
                OnOk();
            else if (id == kIdCancel || id == kIdClose)
                EndDialog(IDCANCEL);
            return 0;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wp);
            // Both boxes in the theme's colours, like every other input of the program.
            if (reinterpret_cast<HWND>(lp) == m_count || reinterpret_cast<HWND>(lp) == m_interval) {
                ::SetTextColor(dc, m_theme.text);
                ::SetBkColor(dc, m_theme.edit);
                return reinterpret_cast<LRESULT>(m_editBrush);
            }
            break;
        }
        case WM_LBUTTONDOWN:
            ::ReleaseCapture();
            ::SendMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, lp);
            return 0;
        case WM_HELP:
            return TRUE;
        default:
            break;
    }
    return CDialogBase::WindowProc(msg, wp, lp);
}

void CFirekeyDlg::Paint(HDC dc) {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    {
        Gdiplus::Graphics g(dc);
        DrawPictureStretched(g, m_bkg.get(), client);
    }
    const UINT one = DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_END_ELLIPSIS;
    DrawSkinText(dc, GetText("tc_str1"), Scaled(LabelAbove(kCountBox)), m_theme.text, m_font, one);
    DrawSkinText(dc, GetText("tc_str2"), Scaled(LabelAbove(kIntervalBox)), m_theme.text, m_font,
                 one);
    const int w = m_theme.large ? client.right / 2 : client.right;
    DrawSkinText(dc, GetText("tc_str3"),
                 Scaled(RECT{10, kCountBox.bottom + 4, w - 10, kCountBox.bottom + 24}),
                 m_theme.text, m_font, one);
}

std::optional<uint16_t> EditFireKey(HWND owner, const KeyInfo& current) {
    CFirekeyDlg dlg(current);
    if (dlg.DoModal(owner) != IDOK) return std::nullopt;
    return dlg.Result();
}

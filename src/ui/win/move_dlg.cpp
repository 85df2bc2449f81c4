#include "ui/win/move_dlg.h"

#include "controls/win/focus_nav.h"
#include "base/language_texts.h"
#include "controls/skin_paths.h"
#include "platform/win/wide.h"
#include "ui/move_dlg_model.h"
#include "ui/win/dialog_place.h"

namespace {
constexpr POINT kCloseAt{399, 10};
constexpr RECT kOk{136, 110, 216, 137};
constexpr RECT kCancel{242, 110, 322, 137};
constexpr RECT kBoxX{135, 70, 215, 90};
constexpr RECT kBoxY{242, 70, 322, 90};

// A caption sits over its box: the box widened by 15 on each side, 25 to 5 pixels above it.
RECT CaptionOver(const RECT& box) {
    return RECT{box.left - 15, box.top - 25, box.right + 15, box.top - 5};
}

std::string BoxText(HWND box) {
    wchar_t buf[41] = {};
    ::GetWindowTextW(box, buf, 41);
    return platform::win::Narrow(buf);
}
}  // namespace

CMoveDlg::CMoveDlg() = default;

CMoveDlg::~CMoveDlg() {
    DestroyWindow();
    if (m_editFont) ::DeleteObject(m_editFont);
    if (m_ownFont && m_font) ::DeleteObject(m_font);
    if (m_editBrush) ::DeleteObject(m_editBrush);
}

HWND CMoveDlg::MakeBox(UINT id, const RECT& where, int value) {
    const RECT rc = Scaled(where);
    HWND box = ::CreateWindowExW(
        0, L"EDIT", platform::win::Widen(MoveBoxText(value)).c_str(),
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL, rc.left,
        rc.top, rc.right - rc.left, rc.bottom - rc.top, m_hWnd,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), AppInstance(), nullptr);
    if (!box) return nullptr;
    // On large screens the boxes take the application font, like the captions.
    HFONT font = theme.large && theme.font ? theme.font : m_editFont;
    ::SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ::SendMessageW(box, EM_LIMITTEXT, 4, 0);
    return box;
}

bool CMoveDlg::CreateDialogWindow(HWND owner) {
    SetBufferedPaint(true);
    SetCommandHandler(kIdClose, [this](UINT) { EndDialog(IDCANCEL); });
    SetCommandHandler(IDCANCEL, [this](UINT) { EndDialog(IDCANCEL); });
    SetCommandHandler(IDOK, [this](UINT) { OnOk(); });
    for (UINT id : {kIdX, kIdY}) {
        SetCommandHandler(id, [this](UINT code) {
            if (code != EN_CHANGE || m_settingText) return;
            // Only the box being typed in is corrected.
            HWND focus = ::GetFocus();
            if (focus == m_x || focus == m_y) OnBoxChanged(focus);
        });
    }

    switch (CreateSkinDialog(*this, owner, kWindowTitle, "msg_nr.png", theme, &m_bkg)) {
        case SkinDialogStart::kFailed:
            return false;
        case SkinDialogStart::kClosing:
            return true;
        case SkinDialogStart::kReady:
            break;
    }
    m_font = MakeUiFont(theme.font, theme.FontHeight(), FW_NORMAL, &m_ownFont);
    m_editFont = ::CreateFontW(16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_SWISS, L"MS Shell Dlg");
    m_editBrush = ::CreateSolidBrush(theme.edit);

    PicturePtr exitPic = LoadSkinPicture(SkinPath("exit_nr.png"));
    PicturePtr buttonPic = LoadSkinPicture(SkinPath("button2_nr.png"));
    auto makeButton = [&](CPngBtn& b, UINT id, const RECT& where, SkinPicture* pic,
                          const std::string& caption) {
        PngBtnArgs a;
        a.id = id;
        a.rc = Scaled(where);
        a.caption = caption;
        a.normal = a.hover = a.pressed = pic;
        a.background = m_bkg.get();
        a.pressShift = true;
        a.tooltip = true;
        b.Create(m_hWnd, a, theme);
    };
    const RECT closeRc{kCloseAt.x, kCloseAt.y, kCloseAt.x + PictureWidth(exitPic.get()),
                       kCloseAt.y + PictureHeight(exitPic.get())};
    makeButton(m_close, kIdClose, closeRc, exitPic.get(), "");
    makeButton(m_ok, IDOK, kOk, buttonPic.get(), GetText("tc_ok"));
    makeButton(m_cancel, IDCANCEL, kCancel, buttonPic.get(), GetText("tc_cancel"));

    m_x = MakeBox(kIdX, kBoxX, x);
    m_y = MakeBox(kIdY, kBoxY, y);
    if (!m_x || !m_y) return false;
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    ::SetFocus(m_x);
    return true;
}

void CMoveDlg::OnBoxChanged(HWND box) {
    const std::optional<std::string> fixed = OnMoveBoxEdited(BoxText(box));
    if (!fixed) return;
    m_settingText = true;
    ::SetWindowTextW(box, platform::win::Widen(*fixed).c_str());
    const int len = ::GetWindowTextLengthW(box);
    ::SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(len), len);
    m_settingText = false;
}

void CMoveDlg::OnOk() {
    x = MoveBoxValue(BoxText(m_x), x);
    y = MoveBoxValue(BoxText(m_y), y);
    EndDialog(IDOK);
}

bool CMoveDlg::PreTranslateMessage(MSG* msg) {
    // Tab moves between the boxes and the buttons; a focused button takes Space and Enter.
    switch (RouteDialogKey(m_hWnd, *msg)) {
        case DialogKey::kMoved:
            return true;
        case DialogKey::kForControl:
            return false;
        case DialogKey::kOther:
            break;
    }
    switch (msg->message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            break;
        default:
            return false;
    }
    switch (msg->wParam) {
        case VK_ESCAPE:
        case VK_SPACE:
        case VK_F1:
            return true;
        case VK_RETURN:
            if (msg->message == WM_KEYDOWN) OnOk();
            return true;
        default:
            return false;
    }
}

bool CMoveDlg::OnCommand(UINT, UINT, HWND) {
    return true;
}

HBRUSH CMoveDlg::OnCtlColor(UINT msg, HDC dc, HWND from) {
    if ((msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC) || !m_editBrush ||
        (from != m_x && from != m_y)) {
        return nullptr;
    }
    ::SetTextColor(dc, theme.text);
    ::SetBkColor(dc, theme.edit);
    return m_editBrush;
}

bool CMoveDlg::OnMouse(UINT msg, POINT pt, WPARAM) {
    // No caption: the dialog is dragged by its background.
    return DragByBackground(m_hWnd, msg, pt);
}

void CMoveDlg::OnPaint(CMemPaint& buf) {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    DrawPictureStretched(buf.g(), m_bkg.get(), client);
    buf.g().Flush(Gdiplus::FlushIntentionSync);
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
    DrawSkinText(buf.dc(), GetText("tc_adv_str25"), Scaled(CaptionOver(kBoxX)), theme.text, m_font,
                 format);
    DrawSkinText(buf.dc(), GetText("tc_adv_str26"), Scaled(CaptionOver(kBoxY)), theme.text, m_font,
                 format);
}

#include "ui/win/move_dlg.h"

#include "base/language_texts.h"
#include "controls/skin_paths.h"
#include "platform/win/wide.h"
#include "ui/move_dlg_model.h"

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

CMoveDlg::CMoveDlg() : CSkinnedDialog(ThemeFromOptions()) {
    SetDialogKeys({VK_ESCAPE, VK_SPACE, VK_F1}, [this] { OnOk(); });
}

CMoveDlg::~CMoveDlg() {
    DestroyWindow();
}

HWND CMoveDlg::MakeBox(UINT id, const RECT& where, int value) {
    // On large screens the boxes take the application font, like the captions.
    HFONT font = theme.large && theme.font ? theme.font : m_editFont.get();
    return MakeEditBox(id, Scaled(where), WS_BORDER | WS_TABSTOP | ES_CENTER, MoveBoxText(value),
                       font, 4);
}

bool CMoveDlg::CreateDialogWindow(HWND owner) {
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

    switch (StartSkinned(owner, "msg_nr.png")) {
        case SkinDialogStart::kFailed:
            return false;
        case SkinDialogStart::kClosing:
            return true;
        case SkinDialogStart::kReady:
            break;
    }
    m_editFont.Reset(::CreateFontW(16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_SWISS, L"MS Shell Dlg"));

    PicturePtr exitPic = LoadSkinPicture(SkinPath("exit_nr.png"));
    PicturePtr buttonPic = LoadSkinPicture(SkinPath("button2_nr.png"));
    auto makeButton = [&](CPngBtn& b, UINT id, const RECT& where, SkinPicture* pic,
                          const std::string& caption) {
        PngBtnArgs a;
        a.id = id;
        a.rc = Scaled(where);
        a.caption = caption;
        a.normal = a.hover = a.pressed = pic;
        a.background = Background();
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

void CMoveDlg::OnPaintDialog(CMemPaint& buf) {
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
    DrawSkinText(buf.dc(), GetText("tc_adv_str25"), Scaled(CaptionOver(kBoxX)), theme.text, Font(),
                 format);
    DrawSkinText(buf.dc(), GetText("tc_adv_str26"), Scaled(CaptionOver(kBoxY)), theme.text, Font(),
                 format);
}

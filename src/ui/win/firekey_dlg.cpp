#include "ui/win/firekey_dlg.h"

#include "base/language_texts.h"
#include "controls/skin_paths.h"
#include "platform/win/wide.h"
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

CFirekeyDlg::CFirekeyDlg(const KeyInfo& current, const UiTheme& look)
    : CSkinnedDialog(look), m_current(current) {
    // Enter, Esc, Space and F1 neither close the dialog nor press a button.
    SetDialogKeys({VK_RETURN, VK_ESCAPE, VK_SPACE, VK_F1});
}

CFirekeyDlg::~CFirekeyDlg() {
    DestroyWindow();
}

HWND CFirekeyDlg::MakeBox(UINT id, const RECT& where, const std::string& text) {
    // A box reads at most 40 characters as a number.
    return MakeEditBox(id, Scaled(where), WS_TABSTOP | ES_CENTER | ES_NUMBER, text,
                       m_editFont.get(), 40);
}

bool CFirekeyDlg::CreateDialogWindow(HWND owner) {
    SetCommandHandler(kIdOk, [this](UINT) { OnOk(); });
    SetCommandHandler(kIdCancel, [this](UINT) { EndDialog(IDCANCEL); });
    SetCommandHandler(kIdClose, [this](UINT) { EndDialog(IDCANCEL); });
    SetCommandHandler(kIdCount, [this](UINT code) {
        if (code == EN_CHANGE) OnBoxChanged(m_count);
    });
    SetCommandHandler(kIdInterval, [this](UINT code) {
        if (code == EN_CHANGE) OnBoxChanged(m_interval);
    });

    switch (StartSkinned(owner, "msg_nr.png")) {
        case SkinDialogStart::kFailed:
            return false;
        case SkinDialogStart::kClosing:
            return true;
        case SkinDialogStart::kReady:
            break;
    }
    m_editFont.Reset(::CreateFontW(theme.large ? 32 : 16, 0, 0, 0, 600, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Shell Dlg"));

    auto makeButton = [&](CPngBtn& b, const char* file, const RECT& where, UINT id,
                          const std::string& caption) {
        PicturePtr pic = LoadSkinPicture(SkinPath(file));
        PngBtnArgs a;
        a.id = id;
        a.rc = Scaled(where);
        a.caption = caption;
        a.normal = a.hover = a.pressed = pic.get();
        a.background = Background();
        a.pressShift = true;
        b.Create(m_hWnd, a, theme);
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

void CFirekeyDlg::OnPaintDialog(CMemPaint& buf) {
    const HDC dc = buf.dc();
    const UINT one = DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_END_ELLIPSIS;
    DrawSkinText(dc, GetText("tc_str1"), Scaled(LabelAbove(kCountBox)), theme.text, Font(), one);
    DrawSkinText(dc, GetText("tc_str2"), Scaled(LabelAbove(kIntervalBox)), theme.text, Font(), one);
    const int w = theme.large ? buf.width() / 2 : buf.width();
    DrawSkinText(dc, GetText("tc_str3"),
                 Scaled(RECT{10, kCountBox.bottom + 4, w - 10, kCountBox.bottom + 24}), theme.text,
                 Font(), one);
}

std::optional<uint16_t> EditFireKey(HWND owner, const KeyInfo& current) {
    CFirekeyDlg dlg(current);
    if (dlg.DoModal(owner) != IDOK) return std::nullopt;
    return dlg.Result();
}

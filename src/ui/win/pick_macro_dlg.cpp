#include "ui/win/pick_macro_dlg.h"

#include "app/gvar.h"
#include "base/language_texts.h"
#include "controls/skin_paths.h"
#include "macro/macro_file.h"
#include "platform/win/wide.h"

namespace {
constexpr RECT kClose{360, 12, 382, 34};
// The skin's button face is 27 high: the buttons keep their middle line.
constexpr RECT kNew{25, 299, 105, 326};
constexpr RECT kOk{210, 299, 290, 326};
constexpr RECT kCancel{298, 299, 378, 326};
constexpr RECT kTree{25, 80, 375, 290};
constexpr RECT kHeading{27, 56, 225, 76};
constexpr COLORREF kOutline = 0x969696;
}  // namespace

CPickMacroDlg::CPickMacroDlg()
    : CSkinnedDialog(ThemeFromOptions()), root(MacroRootFolder()), showFolders(gVar.MacroDir == 1) {
    // F1 would ask for help the program does not have.
    SetDialogKeys({VK_F1});
}

CPickMacroDlg::~CPickMacroDlg() {
    DestroyWindow();
}

bool CPickMacroDlg::CreateDialogWindow(HWND owner) {
    SetCommandHandler(kIdClose, [this](UINT) { EndDialog(IDCANCEL); });
    SetCommandHandler(IDCANCEL, [this](UINT) { EndDialog(IDCANCEL); });
    SetCommandHandler(IDOK, [this](UINT) { OnOk(); });
    SetCommandHandler(kIdNew, [this](UINT) {
        m_result = MacroPicker::OnNew().result;
        EndDialog(IDOK);
    });

    switch (StartSkinned(owner, "msg2_nr.png")) {
        case SkinDialogStart::kFailed:
            return false;
        case SkinDialogStart::kClosing:
            return true;
        case SkinDialogStart::kReady:
            break;
    }

    // Read now, not at start-up: the picker offers what lies in the folder at this moment.
    m_picker = std::make_unique<MacroPicker>(root, showFolders);

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
        b.Create(m_hWnd, a, theme);
    };
    makeButton(m_close, kIdClose, kClose, exitPic.get(), "");
    // The skin's button face, as every other dialog's buttons have it.
    makeButton(m_new, kIdNew, kNew, buttonPic.get(), GetText("tc_macro_msg5"));
    makeButton(m_ok, IDOK, kOk, buttonPic.get(), GetText("tc_ok"));
    makeButton(m_cancel, IDCANCEL, kCancel, buttonPic.get(), GetText("tc_cancel"));

    TreeCreateArgs t;
    t.id = kIdTree;
    t.rc = Scaled(kTree);
    t.openGlyph = SkinPath("macro\\open.png");
    t.closedGlyph = SkinPath("macro\\close.png");
    t.colours = colours;
    if (!m_tree.Create(m_hWnd, t, theme)) return false;
    m_tree.ShowMacroTree(m_picker->Tree());

    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    return true;
}

void CPickMacroDlg::OnOk() {
    if (!m_picker) return;
    const TreeItemRecord* rec = m_tree.FindRecord(m_tree.Selected());
    m_picker->Tree().Select(rec ? rec->key : 0);
    const MacroPicker::Answer a = m_picker->OnOk();
    if (!a.close) {
        // The system's own box, as the picker has always shown it; the dialog stays open.
        ::MessageBoxW(m_hWnd, platform::win::Widen(GetText(a.messageKey)).c_str(), L"Tips",
                      MB_OK | MB_ICONINFORMATION);
        return;
    }
    m_result = a.result;
    EndDialog(IDOK);
}

void CPickMacroDlg::PaintBackdrop(CMemPaint& buf) {
    CSkinnedDialog::PaintBackdrop(buf);
    Gdiplus::Pen pen(
        Gdiplus::Color(0xFF, GetRValue(kOutline), GetGValue(kOutline), GetBValue(kOutline)));
    buf.g().DrawRectangle(&pen, 0, 0, buf.width() - 1, buf.height() - 1);
}

void CPickMacroDlg::OnPaintDialog(CMemPaint& buf) {
    DrawSkinText(buf.dc(), GetText("tc_macro_list"), Scaled(kHeading), theme.text, Font(),
                 DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
}

int PickMacro(HWND owner) {
    CPickMacroDlg dlg;
    if (dlg.DoModal(owner) != IDOK) return 0;
    return dlg.Result();
}

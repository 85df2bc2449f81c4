// The small skinned dialogs (the message box, the move, fire and macro-picker dialogs): a modal
// window without a caption, sized to its background picture (doubled on large screens), centred
// over the main window it belongs to, shaped by the dialogs' key colour and dragged by its
// background. Its text boxes take the theme's colours, Tab walks its controls, and the keys a
// dialog gives no meaning are swallowed, so a stray Escape or F1 does not close it or ask for
// help the program does not have.
//
// A dialog derives from CSkinnedDialog, starts its window with StartSkinned, creates its controls
// when that answers kReady, and paints its texts in OnPaintDialog:
//
//     class CNameDlg : public CSkinnedDialog {
//       public:
//         CNameDlg() : CSkinnedDialog(ThemeFromOptions()) {}
//       protected:
//         bool CreateDialogWindow(HWND owner) override {
//             switch (StartSkinned(owner, "msg_nr.png")) {
//                 case SkinDialogStart::kFailed: return false;
//                 case SkinDialogStart::kClosing: return true;
//                 case SkinDialogStart::kReady: break;
//             }
//             m_box = MakeEditBox(kIdBox, Scaled({135, 70, 215, 90}), ES_CENTER, "", m_edit.get());
//             SetDialogKeys({VK_ESCAPE, VK_F1}, [this] { OnOk(); });
//             ...
//         }
//         void OnPaintDialog(CMemPaint& buf) override { ...texts with Font()... }
//     };
#pragma once
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "controls/win/gdi_handle.h"
#include "controls/win/skin_picture.h"
#include "controls/win/ui_theme.h"
#include "controls/win/wnd_base.h"

// The window rectangle of a `width` x `height` dialog centred over the owner's top-level window
// (else the screen); `top` receives that window (null without an owner), which is what the
// dialog should be owned by.
RECT CentredDialogRect(HWND owner, int width, int height, HWND* top);

enum class SkinDialogStart {
    kFailed,   // no window
    kClosing,  // the picture is missing: the window closes itself at once, as cancelled
    kReady,
};
// Creates `dlg`'s window titled `title` over the picture `skinFile` (doubled on large screens),
// which is kept in `bkg`.
SkinDialogStart CreateSkinDialog(CWndBase& dlg, HWND owner, const char* title,
                                 const std::string& skinFile, const UiTheme& theme,
                                 PicturePtr* bkg);

// A left press on a window without a caption moves it; true when `msg` was that press.
bool DragByBackground(HWND wnd, UINT msg, POINT pt);

class CSkinnedDialog : public CDialogBase {
  public:
    // The title every small dialog shows under, found by the main window at exit.
    static constexpr const char* kWindowTitle = "ZorvanMsgTopWindow";

    UiTheme theme;  // the look; set before DoModal

    // Tab and Shift+Tab walk the controls and a focused control takes the keys it acts on;
    // of the rest, the keys SetDialogKeys names do nothing and Enter does the dialog's Enter.
    bool PreTranslateMessage(MSG* msg) override;

  protected:
    explicit CSkinnedDialog(const UiTheme& look) : theme(look) {}
    // The window goes before the font and brush it was drawn with.
    ~CSkinnedDialog() override { DestroyWindow(); }

    // Creates the window over `skinFile`; on kReady the text font is made too.
    SkinDialogStart StartSkinned(HWND owner, const std::string& skinFile);
    SkinPicture* Background() const { return m_bkg.get(); }
    // The font the dialog's texts are drawn with (the theme's, or one of its own).
    HFONT Font() const { return m_font.get(); }
    // A rectangle of the normal layout as it lies on this screen.
    RECT Scaled(const RECT& rc) const { return theme.Scale(rc); }

    // A text box at `rc` (this screen's coordinates) with `style` added to a visible child's,
    // drawn in the theme's colours, holding at most `limit` characters (0: the system's limit).
    HWND MakeEditBox(UINT id, const RECT& rc, DWORD style, const std::string& text, HFONT font,
                     int limit);

    // The keys (virtual-key codes) that do nothing in this dialog, and what Enter does (none:
    // Enter does nothing either).
    void SetDialogKeys(std::initializer_list<UINT> ignored, std::function<void()> enter = {});
    // A key message left after the Tab walk and the focused control; true swallows it. The
    // default applies SetDialogKeys.
    virtual bool OnDialogKey(const MSG& msg);

    // The background under everything: the picture stretched over the window.
    virtual void PaintBackdrop(CMemPaint& buf);
    // The dialog's texts, over the backdrop.
    virtual void OnPaintDialog(CMemPaint& buf) = 0;

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // What no child's own handler took goes no further: the dialog has no default buttons.
    bool OnCommand(UINT id, UINT code, HWND from) override;
    HBRUSH OnCtlColor(UINT msg, HDC dc, HWND from) override;
    bool OnMouse(UINT msg, POINT pt, WPARAM keys) override;
    void OnPaint(CMemPaint& buf) final;

  private:
    PicturePtr m_bkg;
    UiFont m_font;
    BrushHandle m_editBrush;
    std::vector<HWND> m_editBoxes;
    std::vector<UINT> m_ignoredKeys;
    std::function<void()> m_enter;
};

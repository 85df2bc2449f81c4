// The move dialog: the horizontal and vertical steps of a macro's pointer movement, each typed
// into a box and held to -127...127 as it is typed (the rules live in move_dlg_model.h).
// Escape, Space and F1 do nothing, so a stray key cannot throw the typed values away; Enter
// is OK.
//
//     CMoveDlg dlg;
//     dlg.x = 5;  dlg.y = -3;
//     if (dlg.DoModal(nullptr) == IDOK) { ...dlg.x, dlg.y... }
#pragma once
#include <windows.h>

#include <string>

#include "controls/win/png_btn.h"
#include "controls/win/skin_picture.h"
#include "controls/win/ui_theme.h"
#include "controls/win/wnd_base.h"
#include "ui/win/theme_options.h"

class CMoveDlg : public CDialogBase {
  public:
    static constexpr UINT kIdX = 513, kIdY = 514, kIdClose = 1201;
    static constexpr const char* kWindowTitle = "ZorvanMsgTopWindow";

    int x = 0, y = 0;  // shown when the dialog opens; the typed values after OK
    UiTheme theme = ThemeFromOptions();

    CMoveDlg();
    ~CMoveDlg() override;

    bool PreTranslateMessage(MSG* msg) override;

  protected:
    bool CreateDialogWindow(HWND owner) override;
    bool OnCommand(UINT id, UINT code, HWND from) override;
    HBRUSH OnCtlColor(UINT msg, HDC dc, HWND from) override;
    bool OnMouse(UINT msg, POINT pt, WPARAM keys) override;
    void OnPaint(CMemPaint& buf) override;

  private:
    RECT Scaled(const RECT& rc) const { return theme.Scale(rc); }
    HWND MakeBox(UINT id, const RECT& rc, int value);
    void OnBoxChanged(HWND box);
    void OnOk();
    PicturePtr m_bkg;
    CPngBtn m_close, m_ok, m_cancel;
    HWND m_x = nullptr, m_y = nullptr;
    HFONT m_editFont = nullptr;
    HFONT m_font = nullptr;
    bool m_ownFont = false;
    HBRUSH m_editBrush = nullptr;
    bool m_settingText = false;
};

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

#include "controls/win/gdi_handle.h"
#include "controls/win/png_btn.h"
#include "controls/win/skinned_dialog.h"
#include "controls/win/ui_theme.h"
#include "ui/win/theme_options.h"

class CMoveDlg : public CSkinnedDialog {
  public:
    static constexpr UINT kIdX = 513, kIdY = 514, kIdClose = 1201;

    int x = 0, y = 0;  // shown when the dialog opens; the typed values after OK

    CMoveDlg();
    ~CMoveDlg() override;

  protected:
    bool CreateDialogWindow(HWND owner) override;
    void OnPaintDialog(CMemPaint& buf) override;

  private:
    HWND MakeBox(UINT id, const RECT& rc, int value);
    void OnBoxChanged(HWND box);
    void OnOk();
    CPngBtn m_close, m_ok, m_cancel;
    HWND m_x = nullptr, m_y = nullptr;
    FontHandle m_editFont;
    bool m_settingText = false;
};

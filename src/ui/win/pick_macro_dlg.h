// The macro picker: the modal dialog the buttons page opens to give a button a macro. It shows
// the macro folder tree as it is on disk now (so a macro file copied in since start-up can be
// chosen) and answers with the chosen macro's id, or asks for the macro page to make a new one.
//
// The buttons page calls PickMacro:
//
//     const int id = PickMacro(m_hWnd);
//     if (id > 0) { ...assign macro `id`... }
//     else if (id == -1) { ...open the macro page... }
//     // 0: cancelled, nothing changes
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "controls/win/png_btn.h"
#include "controls/win/skinned_dialog.h"
#include "controls/win/tree_ctrl_ex.h"
#include "controls/win/ui_theme.h"
#include "macro/macro_picker.h"
#include "ui/win/theme_options.h"

class CPickMacroDlg : public CSkinnedDialog {
  public:
    static constexpr UINT kIdTree = 17, kIdNew = 1101, kIdClose = 1102;

    // Where the macros are read from and whether sub-folders are shown; the program's own
    // unless set before DoModal.
    std::string root;
    bool showFolders = false;
    TreeColours colours = TreeColoursFromOptions();

    CPickMacroDlg();
    ~CPickMacroDlg() override;

    // After IDOK: the chosen macro's id (its low 24 bits), or -1 for "make a new one".
    int32_t Result() const { return m_result; }

    CTreeCtrlEx& Tree() { return m_tree; }

  protected:
    bool CreateDialogWindow(HWND owner) override;
    void PaintBackdrop(CMemPaint& buf) override;
    void OnPaintDialog(CMemPaint& buf) override;

  private:
    void OnOk();
    std::unique_ptr<MacroPicker> m_picker;
    CPngBtn m_close, m_new, m_ok, m_cancel;
    CTreeCtrlEx m_tree;
    int32_t m_result = 0;
};

// Runs the picker over the program's macro folder: the chosen macro's id, -1 when the user
// asked for a new macro (the caller opens the macro page), 0 when cancelled.
int PickMacro(HWND owner);

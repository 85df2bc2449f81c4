// The linked-programs window: which program in front takes which onboard profile, and the
// profile of every other program. A row's profile is chosen from a popup menu under it; a
// program is added from those running (a popup menu of their names) or by its name. The
// rules are LinksEditor's; OK hands the links back to the main window, which saves them.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "controls/win/gdi_handle.h"
#include "controls/win/png_btn.h"
#include "controls/win/skin_picture.h"
#include "controls/win/ui_theme.h"
#include "controls/win/wnd_base.h"
#include "ui/program_links.h"
#include "ui/win/theme_options.h"

class CLinksDlg : public CDialogBase {
  public:
    static constexpr UINT kIdRunning = 1301, kIdByName = 1302, kIdRemove = 1303, kIdClose = 1304;
    static constexpr int kVisibleRows = 8;
    UiTheme theme = ThemeFromOptions();

    explicit CLinksDlg(ProgramLinks links);
    ~CLinksDlg() override;
    const ProgramLinks& Links() const { return m_editor.Links(); }
    LinksEditor& Editor() { return m_editor; }

    // A row's rectangles in the normal layout (the program, its profile); for tests too.
    static RECT RowRect(int visibleRow);
    static RECT ProfileRect(int visibleRow);
    // Opens the profile menu of `row` (what a click on its profile does).
    void OpenProfileMenu(int row);
    // Adds the running programs' menu (what the button does).
    void OpenRunningMenu();
    // The running programs the menu offers.
    const std::vector<std::string>& RunningChoices() const { return m_running; }

    bool PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  protected:
    bool CreateDialogWindow(HWND owner) override;
    bool OnCommand(UINT id, UINT code, HWND from) override;
    bool OnMouse(UINT msg, POINT pt, WPARAM keys) override;
    void OnPaint(CMemPaint& buf) override;

  private:
    RECT Scaled(const RECT& rc) const { return theme.Scale(rc); }
    void AddByName();
    void Changed();
    LinksEditor m_editor;
    int m_top = 0;  // first row shown
    int m_menuRow = -1;
    std::vector<std::string> m_running;
    PicturePtr m_bkg;
    CPngBtn m_close, m_addRunning, m_addName, m_remove, m_ok, m_cancel;
    UiFont m_font;
    FontHandle m_bold;
};

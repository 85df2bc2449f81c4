// The program's own popup menu: a borderless window listing items from skin pictures, with
// one level of sub-menus. At most one is open in the whole program.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "controls/menu_model.h"
#include "controls/win/gdi_handle.h"
#include "controls/win/ui_theme.h"
#include "controls/win/wnd_base.h"

// Posted to a menu's owner when an entry is chosen: wParam its value, lParam the top-level
// menu's tag.
constexpr UINT WM_MENU_RESULT = WM_USER + 0x77;

class CMenuDlg : public CWndBase {
  public:
    CMenuDlg(HWND owner, bool isSubMenu, const UiTheme& theme = {});
    ~CMenuDlg() override;

    // Lays the entries out at (x, y) and shows the window.
    bool Open(const MenuEntry* entries, int count, int width, int x, int y, COLORREF normal,
              COLORREF hover, int tag, int itemHeight);

    const MenuModel& Model() const { return m_model; }
    int Hovered() const { return m_hovered; }
    int Tag() const { return m_tag; }
    CMenuDlg* SubMenu() const { return m_sub.get(); }
    void SetTextOffset(int offset) { m_textOffset = offset; }
    void SetBorderWidth(int width) { m_border = width; }
    // The keyboard, handed over by the control that opened the menu (the menu never takes the
    // focus): Up/Down/Home/End move the highlight, Right or Enter open an entry's sub-menu and
    // go into it, Left leaves it, Enter or Space choose as a click would, Escape closes the
    // menu without a choice. True when the key was the menu's.
    bool OnKey(UINT vk);
    // Highlights entry `item` (-1: none), as the pointer resting on it would, without opening
    // its sub-menu.
    void SetHovered(int item);
    // Marks entry `item` (-1: none) as the one in effect now (the row's current function): a
    // bar in the theme's mark colour at its left, "checked" for a screen reader.
    void SetMarked(int item);
    int Marked() const { return m_marked; }
    // The menu the keys act on now: this one, or its sub-menu while the keys are in it.
    const CMenuDlg* KeyMenu() const { return m_sub && m_keysInSub ? m_sub.get() : this; }

    // A screen reader hears a popup menu named by its highlighted entry, its value the place of
    // that entry ("3 / 14"); opening, closing and each new highlight are announced, since the
    // focus stays on the control that opened the menu.
    AccessibleInfo Describe() const override;

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool PreTranslateMessage(MSG* msg) override;
    // Draws the menu as it looks now into `dc` (also used for screenshots).
    void Render(HDC dc);

  protected:
    bool OnMouse(UINT msg, POINT pt, WPARAM keys) override;
    void OnPaint(CMemPaint& buf) override;

  private:
    void OnMouseMove(int x, int y);
    void OnLButtonUp();
    void Choose();
    void CloseSubMenu();
    void OpenSubMenu(int item);
    void HighlightChanged();

    HWND m_owner;
    bool m_isSub;
    UiTheme m_theme;
    MenuModel m_model;
    int m_border = 1;
    int m_width = 0;
    int m_textOffset = 0;
    COLORREF m_clrNr = 0, m_clrOv = 0;
    COLORREF m_clrBkg = RGB(5, 5, 5), m_clrBorder = RGB(100, 100, 100),
             m_clrHot = RGB(220, 220, 220);
    int m_hovered = -1;
    int m_marked = -1;
    bool m_keysInSub = false;
    int m_tag = 0;
    std::unique_ptr<CMenuDlg> m_sub;
    UiFont m_font;
};

// The four menu pictures, loaded when the main window starts and freed when it ends.
void LoadMenuImages();
void FreeMenuImages();

// Opens a popup for `owner` (closing the open one first), drawn with `theme`'s font and size
// (the default look without one). Returns non-zero when shown.
int OpenPopup(HWND owner, int count, int width, int x, int y, COLORREF normal, COLORREF hover,
              int tag, const MenuEntry* entries, const UiTheme* theme = nullptr);
// Destroys the open popup and its sub-menu, unless one is being created right now.
void ClosePopup();
CMenuDlg* GetOpenPopup();

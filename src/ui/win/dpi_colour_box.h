// A colour box: a swatch that opens the system colour chooser when clicked, or when Space or
// Enter is pressed while it has the focus. Before a change it asks its parent (message 0x461,
// lParam 0x800000 + its number; non-zero allows); after one it posts 0x461 with its number in
// lParam and the colour in wParam.
#pragma once
#include <windows.h>

#include <functional>

#include "controls/win/skin_picture.h"
#include "controls/win/wnd_base.h"

constexpr UINT WM_COLOURBOX_CHANGED = 0x461;
constexpr LPARAM kColourBoxAsk = 0x800000;

// The system colour chooser (full form), starting at `colour`; false on cancel.
bool ChooseSystemColour(HWND owner, COLORREF* colour);

class CDpiColourBox : public CWndBase {
  public:
    // Picks a colour starting from the given one; false on cancel. The system chooser unless
    // replaced (tests).
    using Chooser = std::function<bool(HWND owner, COLORREF* colour)>;

    bool Create(HWND parent, const RECT& rc, int number, SkinPicture* background, UINT id = 0);
    void SetColour(COLORREF c);
    COLORREF Colour() const { return m_colour; }
    void SetReadOnly(bool on) { m_readOnly = on; }
    void SetChooser(Chooser c) { m_chooser = std::move(c); }
    // The focus ring's colour and width.
    void SetFocusLook(COLORREF colour, int width) { m_ringColour = colour, m_ringWidth = width; }

    // A read-only box only shows the colour: no Tab stop, as it takes no key.
    bool TakesTab() const override { return !m_readOnly; }
    bool WantsKey(UINT vk) const override { return vk == VK_SPACE || vk == VK_RETURN; }
    bool KeyPress() override;
    // A button named by its owner ("DPI 2 colour"), its value the colour as "#rrggbb".
    AccessibleInfo Describe() const override;

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnMouse(UINT msg, POINT pt, WPARAM keys) override;
    void OnPaint(CMemPaint& buf) override;

  private:
    // Asks the parent, opens the chooser and reports a changed colour.
    void Choose();

    int m_number = 0;
    COLORREF m_ringColour = RGB(255, 196, 0);
    int m_ringWidth = 2;
    COLORREF m_colour = RGB(255, 0, 0);
    bool m_readOnly = false;
    PicturePtr m_background;
    Chooser m_chooser;
};

// A vertical scroll bar in the skin's colours laid over the system scroll bar of another window
// (a tree-view): drawn from that window's own scroll range, it turns clicks, drags and the wheel
// into the WM_VSCROLL and WM_MOUSEWHEEL messages the system bar would send, so the window
// scrolls as before and the system's light bar is never seen. The window it covers clips its
// siblings and calls Sync after each of its messages.
#pragma once
#include <windows.h>

#include "controls/scroll_bar_model.h"
#include "controls/win/wnd_base.h"

class CSkinScrollBar : public CWndBase {
  public:
    ~CSkinScrollBar() override;
    // A sibling above `target`, over its vertical bar; colours of the track and the thumb.
    bool Create(HWND target, COLORREF track, COLORREF thumb, COLORREF thumbActive);
    // Follows the target's bar: shown where and while that bar is shown, drawn anew when the
    // range moved.
    void Sync();
    ScrollRange Range() const { return m_range; }
    // The thumb's place in the bar's client coordinates.
    ThumbPlace Thumb() const;

  protected:
    void OnPaint(CMemPaint& buf) override;
    bool OnMouse(UINT msg, POINT pt, WPARAM keys) override;

  private:
    int Track() const;
    void Scroll(WORD code, int pos = 0);

    HWND m_target = nullptr;
    COLORREF m_track = 0, m_thumb = 0, m_thumbActive = 0;
    ScrollRange m_range;
    RECT m_place{};
    bool m_shown = false;
    bool m_dragging = false, m_hover = false;
    int m_grab = 0;  // the pointer's distance from the thumb's top while dragging
};

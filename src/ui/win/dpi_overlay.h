// The DPI overlay: a small skinned window near the corner of the screen that shows the new DPI
// value and level for a moment after the mouse's DPI button changed it, also while the main
// window waits in the tray. It never takes the focus and lets every click through to what
// lies under it, so a game keeps its input.
#pragma once
#include <windows.h>

#include "controls/win/gdi_handle.h"
#include "controls/win/skin_picture.h"
#include "controls/win/wnd_base.h"
#include "ui/glance_model.h"

class CDpiOverlay : public CWndBase {
  public:
    ~CDpiOverlay() override;
    // Shows `view` for kDpiOverlayMs in the lower right corner of the work area; the level's
    // colour (red in the low byte) marks its side.
    void Show(const DpiOverlayView& view, uint32_t colour, bool large);
    bool Shown() const { return m_hWnd && ::IsWindowVisible(m_hWnd); }
    const DpiOverlayView& View() const { return m_view; }

  protected:
    void OnPaint(CMemPaint& buf) override;
    bool OnTimer(UINT_PTR id) override;

  private:
    bool Create(bool large);
    PicturePtr m_bkg;
    FontHandle m_valueFont;
    FontHandle m_levelFont;
    DpiOverlayView m_view;
    uint32_t m_colour = 0;
    bool m_large = false;
};

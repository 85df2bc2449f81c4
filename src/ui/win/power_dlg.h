// The battery indicator of the main window: a level picture chosen by the PowerCritical levels,
// a charging picture that is repainted while the mouse charges, and the percentage text.
#pragma once
#include <windows.h>

#include <array>

#include "app/options.h"
#include "base/app_paths.h"
#include "controls/win/gdi_handle.h"
#include "controls/win/skin_picture.h"
#include "controls/win/wnd_base.h"

class CPowerDlg : public CWndBase {
  public:
    // The levels, the text and the colours come from `options`, the screen size from `paths`,
    // read when the indicator is made and painted.
    CPowerDlg(const AppOptions& options, const AppPaths& paths)
        : m_options(options), m_paths(paths) {}
    ~CPowerDlg() override;
    // A hidden child of `parent` at `rc`; the pictures are loaded once here.
    bool Create(HWND parent, const RECT& rc);
    // The width the widest percentage takes on a normal screen, in the font it is drawn with.
    static int WidestTextWidth();
    // The part of the main window's background under the indicator (owned from now on).
    void SetBackground(PicturePtr bkg);
    // A battery reading: charging 0 or 1, level 0 to 100.
    void SetPower(int charging, int level);

    int Level() const { return m_level; }
    bool Charging() const { return m_charging; }
    // The level picture now shown (1 to 4), 0 while charging.
    int PictureShown() const { return m_charging ? 0 : m_picture; }

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // The picture's meaning for a screen reader: the level in per cent, and whether it charges.
    AccessibleInfo Describe() const override;

  protected:
    void OnPaint(CMemPaint& buf) override;

  private:
    const AppOptions& m_options;
    const AppPaths& m_paths;
    std::array<PicturePtr, 4> m_levels;
    PicturePtr m_chargingPic, m_bkg;
    FontHandle m_font;
    bool m_charging = false;
    int m_level = 0;
    int m_picture = 4;
};

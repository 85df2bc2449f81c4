// A page of the main window: a child window over the main window's page rectangle that is
// shown when its navigation button is chosen. A page builds its controls in OnCreatePage with
// the page's theme, draws its texts in OnPaintPage over the part of the main window's
// background it covers, and is told when it is shown or hidden, when the language changed and
// when the mouse's settings should be shown again.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "controls/win/png_btn.h"
#include "controls/win/png_slider.h"
#include "controls/win/skin_picture.h"
#include "controls/win/ui_theme.h"
#include "controls/win/wnd_base.h"

class CPageBase : public CWndBase {
  public:
    // Creates the page hidden as child `id` of `mainWnd` at `pageRect` (the main window's
    // client coordinates) and lets it build its controls; false when either fails (the window
    // is then gone again).
    bool CreatePage(HWND mainWnd, const RECT& pageRect, const UiTheme& theme, UINT id = 0);
    // Shows or hides the page; OnShow runs after showing and before hiding.
    void Show(bool on);
    bool IsShown() const;
    // The language changed: the page replaces its captions and redraws.
    void TextsChanged();
    // The settings behind the page changed (another profile, a mouse came, a reset): the page
    // shows them again.
    void Refresh();

    // The page's background: for a skinned main window, the part of its background picture
    // the page covers (CopyPictureRect(background, pageRect)). Without one the page is black.
    // Set it before CreatePage: the controls cut their own backgrounds out of it.
    void SetBackground(PicturePtr background);
    // How the background given with SetBackground is made again. A page with one lets its
    // background go while it is hidden (its controls hold their own parts of it) and makes it
    // again when it is shown or asked for.
    void SetBackgroundSource(std::function<PicturePtr()> make);
    SkinPicture* Background() const;
    // A page with a skin picture of its own sets it from OnCreatePage as drawn, at the normal
    // size: it is shown doubled on large screens, and kept as drawn while the page builds so
    // its picture buttons can cut their backgrounds from it (see AddPictureButton). Given as
    // the way to load it, the page lets it go while hidden, as with SetBackgroundSource.
    void SetSkinBackground(PicturePtr picture);
    void SetSkinBackground(const std::function<PicturePtr()>& load);
    const UiTheme& Theme() const { return m_theme; }
    // The page's font for a kind of text, from the theme's type scale.
    HFONT TypeFont(TextRole role) { return m_fonts.Get(role); }

  protected:
    // Creates the controls; false gives up the page.
    virtual bool OnCreatePage() { return true; }
    virtual void OnShow(bool /*shown*/) {}
    virtual void OnTextsChanged() {}
    virtual void OnRefresh() {}
    // Draws over the background, off screen.
    virtual void OnPaintPage(CMemPaint& /*buf*/) {}

    // A control of this page with the page's theme; the background given in the arguments is
    // the page's own when they name none.
    bool AddButton(CPngBtn& btn, PngBtnArgs args);
    bool AddCombo(CComboBtn& combo, ComboBtnArgs args);
    // A captionless button the size of its pictures with its top-left corner at `args.rc`'s in
    // the normal layout, the page's picture as drawn behind it unless the arguments name one;
    // doubled on large screens.
    bool AddPictureButton(CPngBtn& btn, const SkinButtonFiles& files, PngBtnArgs args);
    // A slider of this page from its normal place (`args.rc`); on large screens it then doubles
    // itself. Unless the arguments name a background, it draws the part of the page's picture
    // under itself at each paint and keeps no copy of it.
    bool AddSlider(CPngSliderBar& bar, SliderArgs args);
    bool AddSlider(CPngHSliderBarEx& bar, SliderArgs args);
    // The scale marks of `count` positions over a slider `width` pixels wide at the normal size
    // (10 pixels kept free), in the slider's own pixels: doubled with it on large screens.
    std::vector<int32_t> SliderMarks(int width, int count,
                                     std::optional<SliderWarning>* warning = nullptr) const;
    // A rectangle (RECT, ZvRect) or point of the normal layout as it lies on this screen.
    template <class R>
    RECT Scaled(const R& r) const {
        return m_theme.Scale(ToRect(r));
    }
    template <class P>
    P ScaledPoint(P p) const {
        const int k = m_theme.large ? 2 : 1;
        return P{p.x * k, p.y * k};
    }
    // A control's rectangle in the normal layout, whatever the screen: pages place the texts
    // beside their controls in normal terms and draw them with DrawPageText.
    RECT ControlPlace(const CWndBase& control) const;
    // `text` at `rc` of the normal layout, drawn where that lies on this screen.
    void DrawPageText(HDC dc, const std::string& text, const RECT& rc, UINT format, COLORREF colour,
                      HFONT font) const;

    void OnPaint(CMemPaint& buf) final;

  private:
    SkinPicture* PlainBackground() const;

    UiTheme m_theme;
    ThemeFonts m_fonts;
    mutable PicturePtr m_background;  // made again on demand when a source is known
    std::function<PicturePtr()> m_source;
    PicturePtr m_plain;  // the skin picture as drawn, while the page builds on a large screen
};

// What the pages do with their controls: show or hide one without taking the focus (a control
// whose window was never made is left alone), whether it is shown, and its rectangle in the
// page's coordinates.
void ShowControl(const CWndBase& control, bool on);
bool ControlShown(const CWndBase& control);
RECT ControlRectIn(const CWndBase& control, HWND page);

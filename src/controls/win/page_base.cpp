#include "controls/win/page_base.h"

bool CPageBase::CreatePage(HWND mainWnd, const RECT& pageRect, const UiTheme& theme, UINT id) {
    m_theme = theme;
    m_fonts.Reset(theme);
    SetBufferedPaint(true);
    // WS_EX_CONTROLPARENT lets dialog-style keyboard navigation reach the page's controls.
    if (!CreateEx(WS_EX_CONTROLPARENT, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, pageRect,
                  mainWnd, id)) {
        return false;
    }
    const bool made = OnCreatePage();
    // Every control has cut its part by now; the page draws the doubled picture only. A page is
    // made hidden: a picture it can make again waits until it is shown.
    m_plain.reset();
    if (m_source) m_background.reset();
    if (!made) {
        DestroyWindow();
        return false;
    }
    return true;
}

void CPageBase::Show(bool on) {
    if (!m_hWnd || IsShown() == on) return;
    if (on) {
        ::ShowWindow(m_hWnd, SW_SHOW);
        OnShow(true);
    } else {
        OnShow(false);
        ::ShowWindow(m_hWnd, SW_HIDE);
        // A hidden page draws nothing: its picture is made again when it is shown.
        if (m_source) m_background.reset();
    }
}

bool CPageBase::IsShown() const {
    return m_hWnd && (::GetWindowLongPtrW(m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void CPageBase::TextsChanged() {
    OnTextsChanged();
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CPageBase::Refresh() {
    OnRefresh();
    Invalidate();
}

void CPageBase::SetBackground(PicturePtr background) {
    m_background = std::move(background);
    Invalidate();
}

void CPageBase::SetBackgroundSource(std::function<PicturePtr()> make) {
    m_source = std::move(make);
}

SkinPicture* CPageBase::Background() const {
    if (!m_background && m_source) m_background = m_source();
    return m_background.get();
}

void CPageBase::SetSkinBackground(const std::function<PicturePtr()>& load) {
    SetSkinBackground(load());
    const bool large = m_theme.large;
    SetBackgroundSource([load, large] {
        PicturePtr p = load();
        return large && PicturePresent(p.get()) ? ScalePicture(p.get(), 2.0) : p;
    });
}

void CPageBase::SetSkinBackground(PicturePtr picture) {
    // Only the page knows how this picture is made: it is kept.
    m_source = nullptr;
    if (m_theme.large && PicturePresent(picture.get())) {
        m_plain = std::move(picture);
        SetBackground(ScalePicture(m_plain.get(), 2.0));
    } else {
        m_plain.reset();
        SetBackground(std::move(picture));
    }
}

SkinPicture* CPageBase::PlainBackground() const {
    return m_plain ? m_plain.get() : Background();
}

bool CPageBase::AddPictureButton(CPngBtn& btn, const SkinButtonFiles& files, PngBtnArgs args) {
    if (!args.background) args.background = PlainBackground();
    if (!args.backgroundAt) args.backgroundAt = POINT{args.rc.left, args.rc.top};
    // Cut and sized as drawn, then doubled whole: the picture, its background and its place.
    UiTheme asDrawn = m_theme;
    asDrawn.large = false;
    if (NewSmallPngButton3(&btn, m_hWnd, files, args, asDrawn) != 1) return false;
    if (m_theme.large) {
        LayoutChildFor4K(btn.m_hWnd);
        btn.SetStretch(true);
    }
    return true;
}

bool CPageBase::AddSlider(CPngSliderBar& bar, SliderArgs args) {
    if (!args.background) args.ownerBackground = [this] { return Background(); };
    if (!NewSmallPngSliderBar(&bar, m_hWnd, args, m_theme)) return false;
    if (m_theme.large) bar.LayoutFor4K();
    return true;
}

bool CPageBase::AddSlider(CPngHSliderBarEx& bar, SliderArgs args) {
    if (!args.background) args.ownerBackground = [this] { return Background(); };
    if (!NewSmallPngHSliderBarEx(&bar, m_hWnd, args, m_theme)) return false;
    if (m_theme.large) bar.LayoutFor4K();
    return true;
}

std::vector<int32_t> CPageBase::SliderMarks(int width, int count,
                                            std::optional<SliderWarning>* warning) const {
    constexpr int kMargin = 10;
    const int k = m_theme.large ? 2 : 1;
    return ScalePositions(width * k, kMargin * k, count, warning);
}

RECT CPageBase::ControlPlace(const CWndBase& control) const {
    return m_theme.Unscale(ControlRectIn(control, m_hWnd));
}

void CPageBase::DrawPageText(HDC dc, const std::string& text, const RECT& rc, UINT format,
                             COLORREF colour, HFONT font) const {
    if (!text.empty()) DrawSkinText(dc, text, m_theme.Scale(rc), colour, font, format);
}

bool CPageBase::AddButton(CPngBtn& btn, PngBtnArgs args) {
    if (!args.background) args.background = Background();
    return btn.Create(m_hWnd, args, m_theme);
}

bool CPageBase::AddCombo(CComboBtn& combo, ComboBtnArgs args) {
    if (!args.button.background) args.button.background = Background();
    return combo.Create(m_hWnd, args, m_theme);
}

void CPageBase::OnPaint(CMemPaint& buf) {
    Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
    buf.g().FillRectangle(&black, 0, 0, buf.width(), buf.height());
    if (SkinPicture* background = Background(); PicturePresent(background)) {
        const RECT all{0, 0, buf.width(), buf.height()};
        DrawPictureStretched(buf.g(), background, all);
    }
    OnPaintPage(buf);
}

void ShowControl(const CWndBase& control, bool on) {
    if (control.m_hWnd) ::ShowWindow(control.m_hWnd, on ? SW_SHOWNA : SW_HIDE);
}

bool ControlShown(const CWndBase& control) {
    // The control's own state: a page refreshed while hidden must still see which of its
    // controls are shown (IsWindowVisible is false for all of them then).
    return control.m_hWnd &&
           (::GetWindowLongPtrW(control.m_hWnd, GWL_STYLE) & static_cast<LONG_PTR>(WS_VISIBLE));
}

RECT ControlRectIn(const CWndBase& control, HWND page) {
    RECT rc{};
    ::GetWindowRect(control.m_hWnd, &rc);
    ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

#include "ui/win/dpi_colour_box.h"

#include <oleacc.h>

#include <cstdio>

#include "ui/win/common_dialogs.h"

bool ChooseSystemColour(HWND owner, COLORREF* colour) {
    static COLORREF custom[16] = {};
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = *colour;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ZvChooseColor(&cc)) return false;
    *colour = cc.rgbResult;
    return true;
}

bool CDpiColourBox::Create(HWND parent, const RECT& rc, int number, SkinPicture* background,
                           UINT id) {
    m_number = number;
    m_background = CopyPictureRect(background, rc);
    if (!m_chooser) m_chooser = ChooseSystemColour;
    SetBufferedPaint(true);
    return CreateEx(0, L"", WS_CHILD | WS_VISIBLE, rc, parent, id);
}

void CDpiColourBox::SetColour(COLORREF c) {
    if (c == m_colour) return;
    m_colour = c;
    if (m_hWnd) Invalidate();
}

bool CDpiColourBox::OnMouse(UINT msg, POINT, WPARAM) {
    if (msg != WM_LBUTTONUP || m_readOnly) return msg == WM_LBUTTONUP;
    Choose();
    return true;
}

LRESULT CDpiColourBox::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_KEYDOWN && WantsKey(static_cast<UINT>(wp)) && KeyPress()) return 0;
    return CWndBase::WindowProc(msg, wp, lp);
}

bool CDpiColourBox::KeyPress() {
    if (m_readOnly || !m_hWnd) return false;
    Choose();
    return true;
}

void CDpiColourBox::Choose() {
    const HWND parent = ::GetParent(m_hWnd);
    if (::SendMessageW(parent, WM_COLOURBOX_CHANGED, 0, kColourBoxAsk + m_number) == 0) return;
    COLORREF c = m_colour;
    if (!m_chooser(parent, &c) || c == m_colour) return;
    SetColour(c);
    ::PostMessageW(parent, WM_COLOURBOX_CHANGED, c, m_number);
}

AccessibleInfo CDpiColourBox::Describe() const {
    AccessibleInfo i;
    i.name = AccessibleName();
    i.role = ROLE_SYSTEM_PUSHBUTTON;
    i.disabled = m_readOnly;
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%02x%02x%02x", GetRValue(m_colour), GetGValue(m_colour),
                  GetBValue(m_colour));
    i.hasValue = true;
    i.value = hex;
    return i;
}

void CDpiColourBox::OnPaint(CMemPaint& buf) {
    Gdiplus::Graphics& g = buf.g();
    DrawPicture(g, m_background.get(), 0, 0);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const int w = buf.width(), h = buf.height();
    Gdiplus::SolidBrush fill(
        Gdiplus::Color(255, GetRValue(m_colour), GetGValue(m_colour), GetBValue(m_colour)));
    g.FillEllipse(&fill, 2, 2, w - 5, h - 5);
    Gdiplus::Pen ring(Gdiplus::Color(200, 214, 220, 232), 1.5f);
    g.DrawEllipse(&ring, 1, 1, w - 3, h - 3);
    if (::GetFocus() == m_hWnd && TakesTab()) {
        g.Flush();
        DrawFocusRing(buf.dc(), RECT{0, 0, w, h}, m_ringColour, m_ringWidth);
    }
}

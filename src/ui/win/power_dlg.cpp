#include "ui/win/power_dlg.h"

#include <oleacc.h>

#include <string>

#include "base/language_texts.h"
#include "controls/skin_paths.h"
#include "ui/main_window_model.h"

namespace {

FontHandle MakePowerFont(bool big) {
    return FontHandle(::CreateFontW(big ? 26 : 16, 0, 0, 0, big ? 500 : FW_NORMAL, FALSE, FALSE,
                                    FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Shell Dlg"));
}

}  // namespace

CPowerDlg::~CPowerDlg() {
    DestroyWindow();
}

int CPowerDlg::WidestTextWidth() {
    const FontHandle font = MakePowerFont(false);
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font.get());
    RECT rc{0, 0, 0, 0};
    ::DrawTextW(dc, L"100 %", -1, &rc, DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    return rc.right - rc.left;
}

bool CPowerDlg::Create(HWND parent, const RECT& rc) {
    for (size_t i = 0; i < m_levels.size(); ++i)
        m_levels[i] = LoadSkinPicture(SkinPath("power" + std::to_string(i + 1) + ".png"));
    m_chargingPic = LoadSkinPicture(SkinPath("power_charging.png"));
    m_font = MakePowerFont(m_paths.b4K != 0);
    SetBufferedPaint(true);
    return CreateEx(0, L"", WS_CHILD | WS_CLIPSIBLINGS, rc, parent, 0);
}

void CPowerDlg::SetBackground(PicturePtr bkg) {
    m_bkg = std::move(bkg);
    Invalidate();
}

void CPowerDlg::SetPower(int charging, int level) {
    m_charging = charging != 0;
    m_level = level;
    if (!m_charging) m_picture = PowerPicture(level, m_options.PowerCritical);
    if (m_hWnd) {
        if (ChargeTimerFor(m_charging, level) == ChargeTimer::kRun)
            ::SetTimer(m_hWnd, kChargeTimerId, kChargeTimerMs, nullptr);
        else
            ::KillTimer(m_hWnd, kChargeTimerId);
    }
    Invalidate();
}

void CPowerDlg::OnPaint(CMemPaint& mp) {
    const int w = mp.width(), h = mp.height();
    Gdiplus::Graphics& g = mp.g();
    const RECT all{0, 0, w, h};
    if (PicturePresent(m_bkg.get())) {
        DrawPictureStretched(g, m_bkg.get(), all);
    } else {
        Gdiplus::SolidBrush b(Gdiplus::Color(255, 15, 15, 15));
        g.FillRectangle(&b, 0, 0, w, h);
    }
    SkinPicture* pic =
        m_charging ? m_chargingPic.get() : m_levels[static_cast<size_t>(m_picture - 1)].get();
    if (PicturePresent(pic)) {
        // Where the layout left it when it widened the place for the text (an odd pixel went to
        // the right); taken at the skin's own scale, so that the large-screen place is exactly
        // twice it.
        const int k = m_paths.b4K ? 2 : 1;
        const int pw = PictureWidth(pic) * k, x = k * ((w / k - PictureWidth(pic)) / 2);
        DrawPictureStretched(g, pic, RECT{x, 0, x + pw, PictureHeight(pic) * k});
    }
    if (auto text = PowerText(m_options.ShowPower, m_level, m_charging)) {
        const RECT band = m_paths.b4K ? RECT{0, 50, w, 80} : RECT{0, 22, w, 42};
        DrawSkinText(mp.dc(), *text, band, m_options.Txt_clr, m_font.get(),
                     DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    if (m_options.UIDebug) {
        HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
        ::FrameRect(mp.dc(), &all, red);
        ::DeleteObject(red);
    }
}

LRESULT CPowerDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_TIMER:
            if (wp == kChargeTimerId) Invalidate();
            return 0;
        case WM_DESTROY:
            ::KillTimer(m_hWnd, kChargeTimerId);
            break;
        default:
            break;
    }
    return CWndBase::WindowProc(msg, wp, lp);
}

AccessibleInfo CPowerDlg::Describe() const {
    AccessibleInfo i;
    i.name = AccessibleName();
    i.role = ROLE_SYSTEM_PROGRESSBAR;
    i.hasValue = true;
    i.value = std::to_string(m_level) + " %";
    if (m_charging) i.value += ", " + GetText("tc_charging");
    return i;
}

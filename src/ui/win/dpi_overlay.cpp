#include "ui/win/dpi_overlay.h"

#include "controls/skin_paths.h"

namespace {
constexpr UINT_PTR kHideTimer = 1;
}  // namespace

CDpiOverlay::~CDpiOverlay() {
    DestroyWindow();
}

bool CDpiOverlay::Create(bool large) {
    m_large = large;
    m_bkg = LoadSkinPicture(SkinPath("osd_nr.png"));
    if (large && PicturePresent(m_bkg.get())) m_bkg = ScalePicture(m_bkg.get(), 2.0);
    const int k = large ? 2 : 1;
    // Layered and transparent to the mouse: clicks fall through to the window under it.
    // No activation: showing it never moves the focus away from the program in front.
    if (!CreateEx(
            WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
            L"ZorvanDpiOverlay", WS_POPUP, RECT{0, 0, kDpiOverlayW * k, kDpiOverlayH * k}, nullptr,
            0))
        return false;
    ::SetLayeredWindowAttributes(m_hWnd, 0, 235, LWA_ALPHA);
    if (PicturePresent(m_bkg.get()))
        ShapeWindowFromPicture(m_hWnd, m_bkg.get(), RGB(0, 255, 0), 0x0A);
    SetBufferedPaint(true);
    m_valueFont.Reset(::CreateFontW(30 * k, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    FF_SWISS, L"MS Shell Dlg"));
    m_levelFont.Reset(::CreateFontW(15 * k, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, FF_SWISS, L"MS Shell Dlg"));
    return true;
}

void CDpiOverlay::Show(const DpiOverlayView& view, uint32_t colour, bool large) {
    if (m_hWnd && large != m_large) DestroyWindow();
    if (!m_hWnd && !Create(large)) return;
    m_view = view;
    m_colour = colour;
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const ZvRect at = DpiOverlayRect({work.left, work.top, work.right, work.bottom}, large);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, at.left, at.top, at.right - at.left, at.bottom - at.top,
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Invalidate();
    // A second press while it shows keeps it up for the whole time again.
    ::SetTimer(m_hWnd, kHideTimer, kDpiOverlayMs, nullptr);
}

bool CDpiOverlay::OnTimer(UINT_PTR id) {
    if (id != kHideTimer) return false;
    ::KillTimer(m_hWnd, kHideTimer);
    ::ShowWindow(m_hWnd, SW_HIDE);
    return true;
}

void CDpiOverlay::OnPaint(CMemPaint& buf) {
    const int k = m_large ? 2 : 1;
    if (PicturePresent(m_bkg.get())) {
        DrawPicture(buf.g(), m_bkg.get(), 0, 0);
    } else {
        RECT all{0, 0, buf.width(), buf.height()};
        HBRUSH b = ::CreateSolidBrush(RGB(20, 24, 32));
        ::FillRect(buf.dc(), &all, b);
        ::DeleteObject(b);
    }
    // The level's own colour, as the mouse's DPI light shows it.
    RECT mark{14 * k, 16 * k, 20 * k, buf.height() - 16 * k};
    HBRUSH b = ::CreateSolidBrush(static_cast<COLORREF>(m_colour & 0xFFFFFF));
    ::FillRect(buf.dc(), &mark, b);
    ::DeleteObject(b);
    DrawSkinText(buf.dc(), m_view.value, RECT{32 * k, 8 * k, buf.width() - 10 * k, 44 * k},
                 RGB(240, 244, 250), m_valueFont.get(),
                 DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    DrawSkinText(buf.dc(), m_view.level, RECT{32 * k, 44 * k, buf.width() - 10 * k, 66 * k},
                 RGB(0, 212, 255), m_levelFont.get(),
                 DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

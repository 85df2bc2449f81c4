#include "controls/win/skin_scroll_bar.h"

#include <algorithm>

namespace {
constexpr int kMinThumb = 16;
constexpr int kThumbWidth = 6;
}  // namespace

CSkinScrollBar::~CSkinScrollBar() {
    DestroyWindow();
}

bool CSkinScrollBar::Create(HWND target, COLORREF track, COLORREF thumb, COLORREF thumbActive) {
    m_target = target;
    m_track = track;
    m_thumb = thumb;
    m_thumbActive = thumbActive;
    SetBufferedPaint(true);
    if (!CreateEx(0, L"", WS_CHILD | WS_CLIPSIBLINGS, RECT{0, 0, 1, 1}, ::GetParent(target), 0))
        return false;
    // Above the target, so the system's own bar is drawn under it, clipped away.
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Sync();
    return true;
}

void CSkinScrollBar::Sync() {
    if (!m_hWnd || !::IsWindow(m_target)) return;
    SCROLLBARINFO sbi{};
    sbi.cbSize = sizeof sbi;
    const bool targetShown = (::GetWindowLongPtrW(m_target, GWL_STYLE) & WS_VISIBLE) != 0;
    const bool barShown = ::GetScrollBarInfo(m_target, OBJID_VSCROLL, &sbi) &&
                          !(sbi.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN));
    const bool shown = targetShown && barShown;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ScrollRange range;
    if (::GetScrollInfo(m_target, SB_VERT, &si)) {
        range.min = si.nMin;
        range.max = si.nMax;
        range.page = static_cast<int>(si.nPage);
        range.pos = m_dragging ? m_range.pos : si.nPos;
    }
    RECT place = sbi.rcScrollBar;
    ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&place), 2);
    if (shown && !::EqualRect(&place, &m_place)) {
        m_place = place;
        ::SetWindowPos(m_hWnd, HWND_TOP, place.left, place.top, place.right - place.left,
                       place.bottom - place.top, SWP_NOACTIVATE);
    }
    if (shown != m_shown) {
        m_shown = shown;
        ::ShowWindow(m_hWnd, shown ? SW_SHOWNA : SW_HIDE);
    }
    if (range.min != m_range.min || range.max != m_range.max || range.page != m_range.page ||
        range.pos != m_range.pos) {
        m_range = range;
        Invalidate();
    }
}

int CSkinScrollBar::Track() const {
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    return rc.bottom;
}

ThumbPlace CSkinScrollBar::Thumb() const {
    return PlaceThumb(m_range, Track(), kMinThumb);
}

void CSkinScrollBar::Scroll(WORD code, int pos) {
    ::SendMessageW(m_target, WM_VSCROLL, MAKEWPARAM(code, static_cast<WORD>(pos)), 0);
    Sync();
}

void CSkinScrollBar::OnPaint(CMemPaint& buf) {
    Gdiplus::Graphics& g = buf.g();
    auto colour = [](COLORREF c) {
        return Gdiplus::Color(255, GetRValue(c), GetGValue(c), GetBValue(c));
    };
    Gdiplus::SolidBrush track(colour(m_track));
    g.FillRectangle(&track, 0, 0, buf.width(), buf.height());
    if (!Scrolls(m_range)) return;
    const ThumbPlace t = Thumb();
    Gdiplus::SolidBrush thumb(colour(m_dragging || m_hover ? m_thumbActive : m_thumb));
    const int w = std::min(kThumbWidth, buf.width());
    g.FillRectangle(&thumb, (buf.width() - w) / 2, t.top + 1, w, std::max(0, t.bottom - t.top - 2));
}

bool CSkinScrollBar::OnMouse(UINT msg, POINT pt, WPARAM keys) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const ThumbPlace t = Thumb();
            if (pt.y >= t.top && pt.y < t.bottom) {
                m_dragging = true;
                m_grab = pt.y - t.top;
                ::SetCapture(m_hWnd);
                Invalidate();
            } else {
                Scroll(pt.y < t.top ? SB_PAGEUP : SB_PAGEDOWN);
            }
            return true;
        }
        case WM_MOUSEMOVE:
            if (!m_hover) {
                m_hover = true;
                TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, m_hWnd, 0};
                ::TrackMouseEvent(&tme);
                Invalidate();
            }
            if (m_dragging) {
                const int pos = PositionAtThumb(m_range, Track(), kMinThumb, pt.y - m_grab);
                if (pos != m_range.pos) {
                    m_range.pos = pos;
                    Scroll(SB_THUMBTRACK, pos);
                    Invalidate();
                }
            }
            return true;
        case WM_MOUSELEAVE:
            m_hover = false;
            Invalidate();
            return true;
        case WM_LBUTTONUP:
            if (m_dragging) {
                m_dragging = false;
                ::ReleaseCapture();
                Scroll(SB_THUMBPOSITION, m_range.pos);
                Scroll(SB_ENDSCROLL);
                Invalidate();
            }
            return true;
        case WM_MOUSEWHEEL:
            // The wheel over the bar scrolls the window it belongs to.
            ::SendMessageW(m_target, WM_MOUSEWHEEL, keys, MAKELPARAM(pt.x, pt.y));
            Sync();
            return true;
        default:
            return false;
    }
}

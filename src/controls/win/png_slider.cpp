#include "controls/win/png_slider.h"

#include <oleacc.h>

#include <algorithm>
#include <cstdio>

#include "controls/skin_paths.h"
#include "platform/window.h"

namespace {

void Warn(const char* format, const std::string& file) {
    char text[600];
    std::snprintf(text, sizeof text, format, file.c_str());
    platform::ShowMessageBox(text, "Warrning");
}

}  // namespace

// ---- thumb -------------------------------------------------------------------------------

bool CSliderThumb::Create(CSliderTrack& track, int number, SkinPicture* picture) {
    m_track = &track;
    m_number = number;
    m_picture = picture;
    SetBufferedPaint(true);
    const SIZE s = Size();
    const DWORD style = WS_CHILD | (PicturePresent(picture) ? WS_VISIBLE : 0);
    return CreateEx(0, L"", style, RECT{0, 0, s.cx, s.cy}, track.m_hWnd, 0);
}

SIZE CSliderThumb::Size() const {
    const int k = m_track && m_track->Large() ? 2 : 1;
    return SIZE{PictureWidth(m_picture) * k, PictureHeight(m_picture) * k};
}

void CSliderThumb::Place(int left, int top) {
    if (!m_hWnd) return;
    const SIZE s = Size();
    ::SetWindowPos(m_hWnd, nullptr, left, top, s.cx, s.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate();
}

int CSliderThumb::Left() const {
    RECT rc{};
    ::GetWindowRect(m_hWnd, &rc);
    ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc.left;
}

bool CSliderThumb::OnMouse(UINT msg, POINT pt, WPARAM /*keys*/) {
    const int x = pt.x + Left();  // the track's coordinates
    switch (msg) {
        case WM_LBUTTONDOWN:
            ::SetFocus(m_track->m_hWnd);  // the keys follow the pointer's choice
            if (m_track->ThumbPressed(m_number, x)) ::SetCapture(m_hWnd);
            return true;
        case WM_MOUSEMOVE:
            if (::GetCapture() == m_hWnd) m_track->ThumbMoved(m_number, x);
            return true;
        case WM_LBUTTONUP:
            if (::GetCapture() != m_hWnd) return true;
            ::ReleaseCapture();
            m_track->ThumbReleased(m_number, x);
            return true;
        default:
            return false;
    }
}

void CSliderThumb::OnPaint(CMemPaint& buf) {
    RECT rc{};
    ::GetWindowRect(m_hWnd, &rc);
    ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&rc), 2);
    m_track->Render(buf.g(), -rc.left, -rc.top);
    DrawPictureStretched(buf.g(), m_picture, RECT{0, 0, buf.width(), buf.height()});
}

// ---- track ---------------------------------------------------------------------------------

CSliderTrack::~CSliderTrack() {
    DestroyWindow();
}

bool CSliderTrack::CreateTrack(HWND owner, const SliderArgs& a, const UiTheme& theme,
                               const char* who) {
    // The pages' sliders use a handful of files: each is decoded once for all of them.
    PicturePtr track = SharedSkinPicture(SkinPath(a.track));
    if (!PicturePresent(track.get())) {
        Warn((std::string(who) + " Error. file %s not exist").c_str(), a.track);
        return false;
    }
    // A fill that does not load leaves a plain track: the slider still works.
    PicturePtr fill = a.fill.empty() ? nullptr : SharedSkinPicture(SkinPath(a.fill));
    if (!PicturePresent(fill.get())) fill = nullptr;
    m_owner = owner;
    m_width = a.rc.right - a.rc.left;
    m_height = a.rc.bottom - a.rc.top;
    m_large = false;
    m_debugFrame = theme.debugFrames;
    m_focusColour = theme.focus;
    m_trackPic = std::move(track);
    m_fillPic = std::move(fill);
    m_trackAt = a.trackOffset;
    m_ownerBackground = a.ownerBackground;
    m_backgroundPart = m_ownerBackground || !PicturePresent(a.background)
                           ? nullptr
                           : PictureOfPart(a.background, a.rc);
    SetBufferedPaint(true);
    return CreateEx(0, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, a.rc, owner, a.id);
}

bool CSliderTrack::CreateThumb(CSliderThumb& thumb, int number, SkinPicture* picture) {
    if (thumb.Create(*this, number, picture)) return true;
    platform::ShowMessageBox("Create slider failed", "Warrning");
    return false;
}

void CSliderTrack::DrawBackground(Gdiplus::Graphics& g, const RECT& whole) {
    if (!m_ownerBackground) {
        if (!PicturePresent(m_backgroundPart.get())) return;
        if (m_large)
            DrawPictureStretched(g, m_backgroundPart.get(), whole);
        else
            DrawPicture(g, m_backgroundPart.get(), whole.left, whole.top);
        return;
    }
    SkinPicture* p = m_ownerBackground();
    if (!PicturePresent(p)) return;
    // The owner draws its picture over its client area; the track shows the part under itself.
    RECT owner{}, self{};
    ::GetClientRect(m_owner, &owner);
    ::GetWindowRect(m_hWnd, &self);
    ::MapWindowPoints(nullptr, m_owner, reinterpret_cast<POINT*>(&self), 2);
    if (PictureWidth(p) == owner.right && PictureHeight(p) == owner.bottom) {
        g.DrawImage(p->bmp.get(), Gdiplus::Rect(whole.left, whole.top, m_width, m_height),
                    self.left, self.top, m_width, m_height, Gdiplus::UnitPixel);
    } else {
        const int x = whole.left - self.left, y = whole.top - self.top;
        DrawPictureStretched(g, p, RECT{x, y, x + owner.right, y + owner.bottom});
    }
}

void CSliderTrack::DrawOver(Gdiplus::Graphics& g, SkinPicture* p, int dx, int dy) {
    const int k = m_large ? 2 : 1;
    const int x = dx + m_trackAt.x * k, y = dy + m_trackAt.y * k;
    if (m_large)
        DrawPictureStretched(g, p, RECT{x, y, x + PictureWidth(p) * 2, y + PictureHeight(p) * 2});
    else
        DrawPicture(g, p, x, y);
}

void CSliderTrack::Render(Gdiplus::Graphics& g, int dx, int dy) {
    const RECT whole{dx, dy, dx + m_width, dy + m_height};
    const Gdiplus::GraphicsState state = g.Save();
    g.IntersectClip(Gdiplus::Rect(dx, dy, m_width, m_height));
    DrawBackground(g, whole);
    DrawOver(g, m_trackPic.get(), dx, dy);
    // The filled part shows the fill over the background in place of the track.
    const int fill = std::min(FillWidth(), m_width);
    if (DrawsFill() && PicturePresent(m_fillPic.get()) && fill > 0) {
        g.IntersectClip(Gdiplus::Rect(dx, dy, fill, m_height));
        DrawBackground(g, whole);
        DrawOver(g, m_fillPic.get(), dx, dy);
    }
    g.Restore(state);
    if (m_debugFrame) {
        Gdiplus::Pen red(Gdiplus::Color(255, 255, 0, 0));
        g.DrawRectangle(&red, dx, dy, m_width - 1, m_height - 1);
        for (int32_t x : Marks()) g.DrawLine(&red, dx + x, dy, dx + x, dy + m_height);
    }
}

void CSliderTrack::OnPaint(CMemPaint& buf) {
    Render(buf.g(), 0, 0);
    if (::GetFocus() == m_hWnd) {
        buf.g().Flush();
        DrawFocusRing(buf.dc(), RECT{0, 0, buf.width(), buf.height()}, m_focusColour,
                      m_large ? 4 : 2);
    }
}

bool CSliderTrack::WantsKey(UINT vk) const {
    switch (vk) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END:
            return true;
        default:
            return false;
    }
}

LRESULT CSliderTrack::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDOWN) ::SetFocus(m_hWnd);
    if (msg == WM_KEYDOWN && WantsKey(static_cast<UINT>(wp))) {
        StepKey key = StepKey::kMore;
        switch (wp) {
            case VK_LEFT:
            case VK_DOWN:
                key = StepKey::kLess;
                break;
            case VK_PRIOR:
                key = StepKey::kPageMore;
                break;
            case VK_NEXT:
                key = StepKey::kPageLess;
                break;
            case VK_HOME:
                key = StepKey::kFirst;
                break;
            case VK_END:
                key = StepKey::kLast;
                break;
            default:
                break;
        }
        const bool vertical = wp == VK_UP || wp == VK_DOWN;
        if (OnStepKey(key, vertical, ::GetKeyState(VK_SHIFT) < 0)) {
            ::NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
            ::UpdateWindow(m_hWnd);
        }
        return 0;
    }
    if (msg == WM_GETDLGCODE) return DLGC_WANTARROWS;
    return CWndBase::WindowProc(msg, wp, lp);
}

AccessibleInfo CSliderTrack::Describe() const {
    AccessibleInfo i;
    i.name = AccessibleName();
    i.role = ROLE_SYSTEM_SLIDER;
    i.hasValue = true;
    i.value = ValueText();
    return i;
}

void CSliderTrack::DoubleTrack() {
    LayoutChildFor4K(m_hWnd);
    m_width *= 2;
    m_height *= 2;
    m_large = true;
}

intptr_t CSliderTrack::Send(uint32_t msg, intptr_t wParam, intptr_t lParam) {
    return ::SendMessageW(m_owner, msg, static_cast<WPARAM>(wParam), lParam);
}

void CSliderTrack::Post(uint32_t msg, intptr_t wParam, intptr_t lParam) {
    ::PostMessageW(m_owner, msg, static_cast<WPARAM>(wParam), lParam);
}

// ---- single thumb ------------------------------------------------------------------------

bool CPngSliderBar::Create(HWND owner, const SliderArgs& a, const UiTheme& theme) {
    if (!CreateTrack(owner, a, theme, "NewSmallPngSliderBar")) return false;
    m_picture = a.thumb.empty() ? nullptr : SharedSkinPicture(SkinPath(a.thumb));
    m_thumbY = a.thumbY;
    m_model =
        std::make_unique<SliderModel>(static_cast<SliderOwner&>(*this), static_cast<int32_t>(a.id),
                                      m_width, PictureWidth(m_picture.get()));
    m_model->SetHasFill(PicturePresent(m_fillPic.get()));
    m_model->SetHasThumbImage(PicturePresent(m_picture.get()));
    m_model->SetReportWhileDragging(true);
    if (!CreateThumb(m_thumb, 1, m_picture.get())) {
        DestroyWindow();
        return false;
    }
    SetRange(a.minimum, a.maximum);
    return true;
}

void CPngSliderBar::Sync() {
    m_thumb.Place(m_model->Thumb().left, m_thumbY);
    Invalidate();
}

void CPngSliderBar::SetRange(int32_t minimum, int32_t maximum) {
    m_model->SetRange(minimum, maximum);
    Sync();
}

void CPngSliderBar::SetValueList(const int32_t* values, int32_t count) {
    m_model->SetValueList(values, count);
    Sync();
}

void CPngSliderBar::SetScalePos(int32_t count, const int32_t* positions) {
    if (auto warning = m_model->SetScalePos(count, positions))
        platform::ShowMessageBox(warning->text, warning->caption);
    Sync();
}

void CPngSliderBar::SetValue(int32_t value, bool notify) {
    m_model->SetValue(value, notify);
    Sync();
}

void CPngSliderBar::LayoutFor4K() {
    DoubleTrack();
    m_thumbY *= 2;
    m_model->LayoutFor4K();
    Sync();
}

bool CPngSliderBar::ThumbPressed(int, int x) {
    return m_model->PressThumb(x);
}

void CPngSliderBar::ThumbMoved(int, int x) {
    m_model->DragTo(x);
    Sync();
}

void CPngSliderBar::ThumbReleased(int, int x) {
    m_model->Release(x);
    Sync();
}

bool CPngSliderBar::OnStepKey(StepKey key, bool, bool) {
    const bool moved = m_model->KeyStep(key);
    Sync();
    return moved;
}

std::string CPngSliderBar::ValueText() const {
    return std::to_string(GetValue());
}

bool CPngSliderBar::OnMouse(UINT msg, POINT pt, WPARAM) {
    if (msg != WM_LBUTTONUP) return false;
    m_model->ClickTrack(pt.x);
    Sync();
    return true;
}

// ---- two thumbs --------------------------------------------------------------------------

bool CPngHSliderBarEx::Create(HWND owner, const SliderArgs& a, const UiTheme& theme) {
    if (!CreateTrack(owner, a, theme, "NewSmallPngHSliderBarEx")) return false;
    m_picture1 = SharedSkinPicture(SkinPath(a.thumb));
    m_picture2 = SharedSkinPicture(SkinPath(a.thumb2));
    m_thumbY = a.thumbY;
    m_model = std::make_unique<TwoThumbSliderModel>(static_cast<SliderOwner&>(*this),
                                                    static_cast<int32_t>(a.id), m_width, m_height,
                                                    PictureWidth(m_picture1.get()));
    if (!CreateThumb(m_thumb1, 1, m_picture1.get()) ||
        !CreateThumb(m_thumb2, 2, m_picture2.get())) {
        DestroyWindow();
        return false;
    }
    // The owner gives the real range once it knows the sensor.
    SetRange(1, 4);
    return true;
}

void CPngHSliderBarEx::Sync() {
    const bool two = m_model->TwoThumbs();
    m_thumb1.Place(m_model->Thumb(1).left, two ? 0 : m_thumbY);
    m_thumb2.Place(m_model->Thumb(2).left, m_height - m_thumb2.Size().cy);
    ::ShowWindow(m_thumb2.m_hWnd, two && PicturePresent(m_thumb2.Picture()) ? SW_SHOWNA : SW_HIDE);
    Invalidate();
}

void CPngHSliderBarEx::SetRange(int32_t minimum, int32_t maximum) {
    m_model->SetRange(minimum, maximum);
    Sync();
}

void CPngHSliderBarEx::SetValueList(const int32_t* values, int32_t count) {
    m_model->SetValueList(values, count);
    Sync();
}

void CPngHSliderBarEx::SetScalePos(int32_t count, const int32_t* positions) {
    m_model->SetScalePos(count, positions);
    Sync();
}

void CPngHSliderBarEx::SetValue(int thumb, int32_t value, bool notify) {
    m_model->SetValue(thumb, value, notify);
    Sync();
}

void CPngHSliderBarEx::SetTwoThumbs(bool on, SkinPicture* single, int thumbY) {
    if (single) m_single = single;
    m_model->SetTwoThumbs(on);
    if (!on) m_thumbY = m_large ? thumbY * 2 : thumbY;
    m_thumb1.SetPicture(on || !m_single ? m_picture1.get() : m_single);
    Sync();
}

void CPngHSliderBarEx::SetReportWhileDragging(bool on) {
    m_model->SetReportWhileDragging(on);
}

void CPngHSliderBarEx::LayoutFor4K() {
    DoubleTrack();
    m_thumbY *= 2;
    m_model->LayoutFor4K();
    Sync();
}

bool CPngHSliderBarEx::ThumbPressed(int thumb, int x) {
    return m_model->PressThumb(thumb, x);
}

void CPngHSliderBarEx::ThumbMoved(int thumb, int x) {
    m_model->DragTo(thumb, x);
    Sync();
}

void CPngHSliderBarEx::ThumbReleased(int thumb, int x) {
    m_model->Release(thumb, x);
    Sync();
}

bool CPngHSliderBarEx::OnStepKey(StepKey key, bool vertical, bool shift) {
    const bool y = m_model->TwoThumbs() && (vertical || shift);
    const bool moved = m_model->KeyStep(y ? 2 : 1, key);
    Sync();
    return moved;
}

std::string CPngHSliderBarEx::ValueText() const {
    if (!m_model->TwoThumbs()) return std::to_string(GetValue(1));
    return "X " + std::to_string(GetValue(1)) + ", Y " + std::to_string(GetValue(2));
}

bool CPngHSliderBarEx::OnMouse(UINT msg, POINT pt, WPARAM) {
    if (msg != WM_LBUTTONUP) return false;
    m_model->ClickTrack(pt.x, pt.y);
    Sync();
    return true;
}

// ---- factories ---------------------------------------------------------------------------

int NewSmallPngSliderBar(CPngSliderBar* bar, HWND owner, const SliderArgs& a,
                         const UiTheme& theme) {
    return bar && bar->Create(owner, a, theme) ? 1 : 0;
}

int NewSmallPngHSliderBarEx(CPngHSliderBarEx* bar, HWND owner, const SliderArgs& a,
                            const UiTheme& theme) {
    return bar && bar->Create(owner, a, theme) ? 1 : 0;
}

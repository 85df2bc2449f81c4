#include "controls/win/skin_picture.h"

#include <vector>

#include "controls/window_shape.h"
#include "platform/win/wide.h"

PicturePtr LoadSkinPicture(const std::string& path) {
    auto p = std::make_unique<SkinPicture>();
    std::wstring w = platform::win::Widen(path);
    p->bmp.reset(Gdiplus::Bitmap::FromFile(w.c_str(), FALSE));
    if (p->bmp) p->lastStatus = p->bmp->GetLastStatus();
    return p;
}

int PictureWidth(const SkinPicture* p) {
    // A bitmap that did not load reports a width of 0. (Its last status is no test: an
    // unrelated failed call, such as a cut outside it, would hide a good picture.)
    if (!p || !p->bmp) return 0;
    return static_cast<int>(p->bmp->GetWidth());
}

int PictureHeight(const SkinPicture* p) {
    if (!PictureWidth(p)) return 0;
    return static_cast<int>(p->bmp->GetHeight());
}

bool PicturePresent(const SkinPicture* p) {
    return PictureWidth(p) > 0;
}

PicturePtr CropPicture(SkinPicture* src, int x, int y, int w, int h) {
    if (!PicturePresent(src) || w <= 0 || h <= 0) return nullptr;
    Gdiplus::Bitmap* cut = src->bmp->Clone(x, y, w, h, src->bmp->GetPixelFormat());
    if (!cut || cut->GetLastStatus() != Gdiplus::Ok) {
        src->lastStatus = cut ? cut->GetLastStatus() : Gdiplus::OutOfMemory;
        delete cut;
        return nullptr;
    }
    auto p = std::make_unique<SkinPicture>();
    p->bmp.reset(cut);
    return p;
}

namespace {
PicturePtr NewArgb(int w, int h) {
    auto p = std::make_unique<SkinPicture>();
    p->bmp = std::make_unique<Gdiplus::Bitmap>(w, h, PixelFormat32bppARGB);
    p->lastStatus = p->bmp->GetLastStatus();
    return p;
}
}  // namespace

PicturePtr CopyPictureRect(SkinPicture* src, const RECT& rc) {
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (!PicturePresent(src) || w <= 0 || h <= 0) return nullptr;
    PicturePtr p = NewArgb(w, h);
    Gdiplus::Graphics g(p->bmp.get());
    g.DrawImage(src->bmp.get(), Gdiplus::Rect(0, 0, w, h), rc.left, rc.top, w, h,
                Gdiplus::UnitPixel);
    return p;
}

PicturePtr ScalePicture(SkinPicture* src, double factor) {
    if (!PicturePresent(src) || factor <= 0) return nullptr;
    const int w = static_cast<int>(PictureWidth(src) * factor);
    const int h = static_cast<int>(PictureHeight(src) * factor);
    if (w <= 0 || h <= 0) return nullptr;
    PicturePtr p = NewArgb(w, h);
    Gdiplus::Graphics g(p->bmp.get());
    RECT rc{0, 0, w, h};
    DrawPictureStretched(g, src, rc);
    return p;
}

PicturePtr ComposePicture(SkinPicture* background, int x, int y, SkinPicture* over) {
    if (!PicturePresent(over)) return nullptr;
    const int w = PictureWidth(over), h = PictureHeight(over);
    PicturePtr p = NewArgb(w, h);
    Gdiplus::Graphics g(p->bmp.get());
    if (PicturePresent(background)) {
        g.DrawImage(background->bmp.get(), Gdiplus::Rect(0, 0, w, h), x, y, w, h,
                    Gdiplus::UnitPixel);
    }
    g.DrawImage(over->bmp.get(), 0, 0, w, h);
    return p;
}

void DrawPicture(Gdiplus::Graphics& g, SkinPicture* p, int x, int y) {
    if (!PicturePresent(p)) return;
    g.DrawImage(p->bmp.get(), x, y, PictureWidth(p), PictureHeight(p));
}

void DrawPictureStretched(Gdiplus::Graphics& g, SkinPicture* p, const RECT& rc) {
    if (!PicturePresent(p)) return;
    const auto mode = g.GetInterpolationMode();
    const auto offset = g.GetPixelOffsetMode();
    g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    Gdiplus::ImageAttributes attrs;
    attrs.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    g.DrawImage(p->bmp.get(),
                Gdiplus::Rect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top), 0, 0,
                PictureWidth(p), PictureHeight(p), Gdiplus::UnitPixel, &attrs);
    g.SetInterpolationMode(mode);
    g.SetPixelOffsetMode(offset);
}

void ShapeWindowFromPicture(HWND wnd, SkinPicture* p, COLORREF key, int tolerance) {
    if (!wnd) return;
    if (key == 0 || !PicturePresent(p)) {
        ::SetWindowRgn(wnd, nullptr, TRUE);
        return;
    }
    const int w = PictureWidth(p), h = PictureHeight(p);
    Gdiplus::BitmapData data{};
    Gdiplus::Rect all(0, 0, w, h);
    if (p->bmp->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) !=
        Gdiplus::Ok) {
        return;
    }
    const auto* base = static_cast<const uint8_t*>(data.Scan0);
    auto pixelAt = [&](int x, int y) -> uint32_t {
        const uint8_t* px = base + static_cast<ptrdiff_t>(y) * data.Stride + x * 4;  // B G R A
        return static_cast<uint32_t>(px[2]) | (static_cast<uint32_t>(px[1]) << 8) |
               (static_cast<uint32_t>(px[0]) << 16);
    };
    const std::vector<ZvRect> runs = KeptPixelRuns(w, h, pixelAt, key, tolerance);
    p->bmp->UnlockBits(&data);

    std::vector<char> buf(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* rd = reinterpret_cast<RGNDATA*>(buf.data());
    rd->rdh.dwSize = sizeof(RGNDATAHEADER);
    rd->rdh.iType = RDH_RECTANGLES;
    rd->rdh.nCount = static_cast<DWORD>(runs.size());
    rd->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
    rd->rdh.rcBound = {0, 0, w, h};
    auto* rects = reinterpret_cast<RECT*>(rd->Buffer);
    for (size_t i = 0; i < runs.size(); ++i) {
        rects[i] = {runs[i].left, runs[i].top, runs[i].right, runs[i].bottom};
    }
    HRGN rgn = ::ExtCreateRegion(nullptr, static_cast<DWORD>(buf.size()), rd);
    if (rgn && !::SetWindowRgn(wnd, rgn, TRUE)) ::DeleteObject(rgn);
}

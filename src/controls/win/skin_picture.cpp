#include "controls/win/skin_picture.h"

#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "controls/window_shape.h"
#include "platform/win/wide.h"

namespace {
bool Inside(const SkinPicture* src, int x, int y, int w, int h) {
    return x >= 0 && y >= 0 && int64_t{x} + w <= PictureWidth(src) &&
           int64_t{y} + h <= PictureHeight(src);
}

// A picture over pixels held elsewhere: `origin` inside `pixels`, rows `stride` bytes apart.
PicturePtr Over(std::shared_ptr<const std::vector<uint8_t>> pixels, const uint8_t* origin, int w,
                int h, int stride) {
    auto p = std::make_shared<SkinPicture>();
    // GDI+ only reads through this pointer: nothing draws into a loaded or cut picture.
    p->bmp = std::make_unique<Gdiplus::Bitmap>(w, h, stride, PixelFormat32bppARGB,
                                               const_cast<BYTE*>(origin));
    p->lastStatus = p->bmp->GetLastStatus();
    p->pixels = std::move(pixels);
    p->stride = stride;
    p->origin = origin;
    return p;
}
}  // namespace

PicturePtr LoadSkinPicture(const std::string& path) {
    auto p = std::make_shared<SkinPicture>();
    std::wstring name = platform::win::Widen(path);
    std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromFile(name.c_str(), FALSE));
    if (!decoded) return p;
    p->lastStatus = decoded->GetLastStatus();
    const int w = static_cast<int>(decoded->GetWidth()), h = static_cast<int>(decoded->GetHeight());
    if (p->lastStatus != Gdiplus::Ok || w <= 0 || h <= 0) {
        p->bmp = std::move(decoded);
        return p;
    }
    // The pixels are copied out and the decoded bitmap let go: the decoder keeps a whole
    // decoded copy of its own for as long as the bitmap lives.
    Gdiplus::BitmapData data{};
    Gdiplus::Rect all(0, 0, w, h);
    if (decoded->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) !=
        Gdiplus::Ok) {
        p->bmp = std::move(decoded);
        return p;
    }
    const size_t row = static_cast<size_t>(w) * 4;
    auto pixels = std::make_shared<std::vector<uint8_t>>(row * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) {
        std::memcpy(
            pixels->data() + row * static_cast<size_t>(y),
            static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride, row);
    }
    decoded->UnlockBits(&data);
    decoded.reset();
    const uint8_t* origin = pixels->data();
    return Over(std::move(pixels), origin, w, h, static_cast<int>(row));
}

namespace {
// `rc` of `src` over `src`'s own memory, when it has memory of its own and `rc` lies inside it.
PicturePtr ViewOf(const SkinPicture* src, const RECT& rc) {
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (!src || !src->pixels || w <= 0 || h <= 0 || !Inside(src, rc.left, rc.top, w, h))
        return nullptr;
    PicturePtr p =
        Over(src->pixels,
             src->origin + static_cast<ptrdiff_t>(rc.top) * src->stride + ptrdiff_t{rc.left} * 4, w,
             h, src->stride);
    p->view = true;
    return p;
}
}  // namespace

PicturePtr PictureView(const PicturePtr& src, const RECT& rc) {
    PicturePtr p = ViewOf(src.get(), rc);
    return p ? p : CopyPictureRect(src.get(), rc);
}

PicturePtr PictureOfPart(SkinPicture* src, const RECT& rc) {
    PicturePtr p = src && src->view ? ViewOf(src, rc) : nullptr;
    return p ? p : CopyPictureRect(src, rc);
}

PicturePtr SharedSkinPicture(const std::string& path) {
    static std::mutex mu;
    static std::map<std::string, std::weak_ptr<SkinPicture>> held;
    std::lock_guard<std::mutex> lock(mu);
    for (auto it = held.begin(); it != held.end();)
        it = it->second.expired() ? held.erase(it) : std::next(it);
    if (auto it = held.find(path); it != held.end())
        if (PicturePtr p = it->second.lock()) return p;
    PicturePtr p = LoadSkinPicture(path);
    // A file that did not load is looked for again next time.
    if (PicturePresent(p.get())) held[path] = p;
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
    if (src->pixels && Inside(src, x, y, w, h)) {
        // A copy of just that part: the cut outlives the (often much larger) source.
        const size_t row = static_cast<size_t>(w) * 4;
        auto pixels = std::make_shared<std::vector<uint8_t>>(row * static_cast<size_t>(h));
        const uint8_t* from =
            src->origin + static_cast<ptrdiff_t>(y) * src->stride + ptrdiff_t{x} * 4;
        for (int r = 0; r < h; ++r)
            std::memcpy(pixels->data() + row * static_cast<size_t>(r),
                        from + static_cast<ptrdiff_t>(r) * src->stride, row);
        const uint8_t* origin = pixels->data();
        return Over(std::move(pixels), origin, w, h, static_cast<int>(row));
    }
    Gdiplus::Bitmap* cut = src->bmp->Clone(x, y, w, h, src->bmp->GetPixelFormat());
    if (!cut || cut->GetLastStatus() != Gdiplus::Ok) {
        src->lastStatus = cut ? cut->GetLastStatus() : Gdiplus::OutOfMemory;
        delete cut;
        return nullptr;
    }
    auto p = std::make_shared<SkinPicture>();
    p->bmp.reset(cut);
    return p;
}

namespace {
PicturePtr NewArgb(int w, int h) {
    auto p = std::make_shared<SkinPicture>();
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

PicturePtr TintPicture(SkinPicture* light,
                       const std::function<COLORREF(int x, int width)>& colourAt,
                       uint8_t strength) {
    if (!PicturePresent(light)) return nullptr;
    const int w = PictureWidth(light), h = PictureHeight(light);
    PicturePtr p = NewArgb(w, h);
    Gdiplus::Rect all(0, 0, w, h);
    Gdiplus::BitmapData from{}, to{};
    if (light->bmp->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &from) !=
        Gdiplus::Ok)
        return nullptr;
    if (p->bmp->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &to) !=
        Gdiplus::Ok) {
        light->bmp->UnlockBits(&from);
        return nullptr;
    }
    std::vector<COLORREF> columns(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x) columns[static_cast<size_t>(x)] = colourAt(x, w);
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(from.Scan0) +
                                                           static_cast<ptrdiff_t>(y) * from.Stride);
        auto* out = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(to.Scan0) +
                                                static_cast<ptrdiff_t>(y) * to.Stride);
        for (int x = 0; x < w; ++x) {
            const uint32_t a = ((in[x] >> 24) * strength + 127) / 255;
            const COLORREF c = columns[static_cast<size_t>(x)];
            out[x] = (a << 24) | (uint32_t{GetRValue(c)} << 16) | (uint32_t{GetGValue(c)} << 8) |
                     GetBValue(c);
        }
    }
    p->bmp->UnlockBits(&to);
    light->bmp->UnlockBits(&from);
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

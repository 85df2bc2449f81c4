// Skin pictures: PNG files loaded with GDI+, cut, copied, scaled, composed, and used to shape
// windows.
#pragma once
#include <windows.h>

#include <gdiplus.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A loaded picture. A missing or undecodable file still gives an object, whose width is 0.
// A decoded file keeps its pixels in memory of its own (32-bit ARGB), not in the decoder's:
// the decoder and what it holds are let go once the pixels are copied out. A part of it can be
// drawn from that memory without a copy (PictureView, which keeps it alive); nothing draws into
// a loaded or cut picture (CopyPictureRect gives a copy for that).
struct SkinPicture {
    std::unique_ptr<Gdiplus::Bitmap> bmp;
    Gdiplus::Status lastStatus = Gdiplus::Ok;            // of the last GDI+ call made on it
    std::shared_ptr<const std::vector<uint8_t>> pixels;  // the memory bmp draws from, if ours
    int stride = 0;                                      // bytes a row of `pixels`
    const uint8_t* origin = nullptr;                     // the picture's first pixel in `pixels`
    bool view = false;  // a part of a picture that stays anyway (PictureView), not a file's own
};
// Shared: controls whose states use one picture hold it once.
using PicturePtr = std::shared_ptr<SkinPicture>;

PicturePtr LoadSkinPicture(const std::string& path);
// Width and height; 0 for no picture.
int PictureWidth(const SkinPicture* p);
int PictureHeight(const SkinPicture* p);
// A picture counts as present only with a width above 0.
bool PicturePresent(const SkinPicture* p);

// A picture cut out of another, keeping its pixel format; null on failure (the failure status
// is kept with the source).
PicturePtr CropPicture(SkinPicture* src, int x, int y, int w, int h);
// The part `rc` of a loaded picture without a copy: it draws from the source's memory and keeps
// it alive (for a part of a picture that stays anyway). Draw from it, never into it. A copy
// (CopyPictureRect) when the source is not a loaded picture or `rc` leaves it.
PicturePtr PictureView(const PicturePtr& src, const RECT& rc);
// The part `rc` of `src` for a control to draw its background from: without a copy when `src`
// is itself a view (its memory belongs to a picture that stays anyway, such as the window's
// background), else a copy, so that a page's own picture can still be let go while the page is
// hidden. Draw from it, never into it.
PicturePtr PictureOfPart(SkinPicture* src, const RECT& rc);
// The picture of this file, decoded once however many windows and controls use it at the same
// time: while one holds it, the next gets the same picture.
PicturePtr SharedSkinPicture(const std::string& path);
// A 32-bit ARGB picture of the rectangle's size holding that part of the source.
PicturePtr CopyPictureRect(SkinPicture* src, const RECT& rc);
// A 32-bit ARGB picture `factor` times as large, sampled nearest-neighbour.
PicturePtr ScalePicture(SkinPicture* src, double factor);
// A light drawn in white (its shape in the alpha) in another colour: each pixel takes the
// colour `colourAt` gives for its column (of `width`) and the light's own alpha, scaled by
// `strength` (255 full). Null without a picture.
PicturePtr TintPicture(SkinPicture* light,
                       const std::function<COLORREF(int x, int width)>& colourAt, uint8_t strength);
// `over` drawn on the part of `background` at (x, y), into a new picture of `over`'s size.
PicturePtr ComposePicture(SkinPicture* background, int x, int y, SkinPicture* over);

// Draws a picture at its own size at (x, y), or stretched into `rc` with nearest-neighbour
// sampling, half-pixel offset and mirrored edges (crisp when doubled).
void DrawPicture(Gdiplus::Graphics& g, SkinPicture* p, int x, int y);
void DrawPictureStretched(Gdiplus::Graphics& g, SkinPicture* p, const RECT& rc);

// Sets the window's region to the picture's pixels that are not the key colour (within
// `tolerance` per channel). A key of 0 switches shaping off.
void ShapeWindowFromPicture(HWND wnd, SkinPicture* p, COLORREF key, int tolerance);

// Skin pictures: PNG files loaded with GDI+, cut, copied, scaled, composed, and used to shape
// windows.
#pragma once
#include <windows.h>

#include <gdiplus.h>

#include <memory>
#include <string>

// A loaded picture. A missing or undecodable file still gives an object, whose width is 0.
struct SkinPicture {
    std::unique_ptr<Gdiplus::Bitmap> bmp;
    Gdiplus::Status lastStatus = Gdiplus::Ok;  // of the last GDI+ call made on it
};
using PicturePtr = std::unique_ptr<SkinPicture>;

PicturePtr LoadSkinPicture(const std::string& path);
// Width and height; 0 for no picture.
int PictureWidth(const SkinPicture* p);
int PictureHeight(const SkinPicture* p);
// A picture counts as present only with a width above 0.
bool PicturePresent(const SkinPicture* p);

// A picture cut out of another, keeping its pixel format; null on failure (the failure status
// is kept with the source).
PicturePtr CropPicture(SkinPicture* src, int x, int y, int w, int h);
// A 32-bit ARGB picture of the rectangle's size holding that part of the source.
PicturePtr CopyPictureRect(SkinPicture* src, const RECT& rc);
// A 32-bit ARGB picture `factor` times as large, sampled nearest-neighbour.
PicturePtr ScalePicture(SkinPicture* src, double factor);
// `over` drawn on the part of `background` at (x, y), into a new picture of `over`'s size.
PicturePtr ComposePicture(SkinPicture* background, int x, int y, SkinPicture* over);

// Draws a picture at its own size at (x, y), or stretched into `rc` with nearest-neighbour
// sampling, half-pixel offset and mirrored edges (crisp when doubled).
void DrawPicture(Gdiplus::Graphics& g, SkinPicture* p, int x, int y);
void DrawPictureStretched(Gdiplus::Graphics& g, SkinPicture* p, const RECT& rc);

// Sets the window's region to the picture's pixels that are not the key colour (within
// `tolerance` per channel). A key of 0 switches shaping off.
void ShapeWindowFromPicture(HWND wnd, SkinPicture* p, COLORREF key, int tolerance);

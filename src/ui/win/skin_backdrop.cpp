#include "ui/win/skin_backdrop.h"

void PaintSkinBackdrop(CMemPaint& buf, SkinPicture* background, uint32_t lowBackground) {
    Gdiplus::Graphics& g = buf.g();
    if (lowBackground) {
        const uint32_t c = lowBackground;
        Gdiplus::SolidBrush b(Gdiplus::Color(200, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
        g.FillRectangle(&b, 0, 0, buf.width(), buf.height());
    }
    DrawPictureStretched(g, background, RECT{0, 0, buf.width(), buf.height()});
}

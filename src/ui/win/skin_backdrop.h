// The backdrop of the skinned top-level windows: the dimming colour (clrLowBkg) at alpha 200
// under the background picture stretched over the whole window.
#pragma once
#include "controls/win/skin_picture.h"
#include "controls/win/wnd_base.h"

void PaintSkinBackdrop(CMemPaint& buf, SkinPicture* background, uint32_t lowBackground);

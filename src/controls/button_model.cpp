#include "controls/button_model.h"

#include <algorithm>
#include <cmath>

namespace {
ButtonLook Resting(const ButtonDrawState& s) {
    if (s.itemDisabled) return {ButtonFace::kDisabled, ButtonTextColour::kNormal};
    if (s.pressed && s.hasAltPressed) return {ButtonFace::kAltPressed, ButtonTextColour::kNormal};
    return {ButtonFace::kNormal, ButtonTextColour::kNormal};
}
}  // namespace

ButtonLook ChooseButtonLook(const ButtonDrawState& s) {
    if (s.checkable) {
        if (s.checked) {
            if (s.itemDisabled) return {ButtonFace::kDisabled, ButtonTextColour::kNormal};
            return {ButtonFace::kPressed, ButtonTextColour::kPressed};
        }
        if (s.hovering) return {ButtonFace::kHover, ButtonTextColour::kHover};
        return Resting(s);
    }
    if (s.checked || s.pressed) return {ButtonFace::kPressed, ButtonTextColour::kPressed};
    if (s.hovering) return {ButtonFace::kHover, ButtonTextColour::kHover};
    return Resting(s);
}

CaptionPlacement PlaceCaption(const ZvRect& area, int32_t offset, bool pressedShift) {
    CaptionPlacement p{area, offset == 0};
    p.rect.left += offset;
    if (pressedShift) {
        p.rect.left -= 1;
        p.rect.right -= 1;
        p.rect.top += 1;
        p.rect.bottom += 1;
    }
    return p;
}

namespace {
double Channel(uint32_t v) {
    const double c = static_cast<double>(v & 0xFF) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double Luminance(uint32_t rgb) {
    return 0.2126 * Channel(rgb) + 0.7152 * Channel(rgb >> 8) + 0.0722 * Channel(rgb >> 16);
}
}  // namespace

double ContrastRatio(uint32_t a, uint32_t b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

uint32_t VeiledFace(uint32_t face) {
    auto mix = [face](int shift) {
        const uint32_t over = (kDisabledVeil >> shift) & 0xFF, under = (face >> shift) & 0xFF;
        return (over * kDisabledVeilAlpha + under * (255 - kDisabledVeilAlpha) + 127) / 255;
    };
    return Rgb(mix(0), mix(8), mix(16));
}

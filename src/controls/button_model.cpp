#include "controls/button_model.h"

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

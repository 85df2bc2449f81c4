// The decisions of an image button: which state picture and text colour it draws, and where
// its caption goes.
#pragma once
#include <cstdint>

#include "base/geometry.h"

enum class ButtonFace { kNormal, kHover, kPressed, kDisabled, kAltPressed };
enum class ButtonTextColour { kNormal, kHover, kPressed };

struct ButtonDrawState {
    bool checkable = false;
    bool checked = false;
    bool hovering = false;
    bool pressed = false;        // the system draws the item pressed
    bool itemDisabled = false;   // the system draws the item disabled
    bool hasAltPressed = false;  // an alternative pressed picture exists
};

struct ButtonLook {
    ButtonFace face = ButtonFace::kNormal;
    ButtonTextColour colour = ButtonTextColour::kNormal;
    bool operator==(const ButtonLook&) const = default;
};

ButtonLook ChooseButtonLook(const ButtonDrawState& s);

// Caption placement inside `area`: centred with offset 0, else left-aligned `offset` pixels
// in; the content moves 1 left and 1 down while pressed when the press shift is on.
struct CaptionPlacement {
    ZvRect rect;
    bool centred = true;
};
CaptionPlacement PlaceCaption(const ZvRect& area, int32_t offset, bool pressedShift);

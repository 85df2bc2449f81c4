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

// Legibility of a caption: the contrast ratio of two colours (1 to 21) from their relative
// luminance. A caption a player must still read, even on a button that does not answer, keeps at
// least kMinTextContrast against the face it is drawn on.
constexpr double kMinTextContrast = 4.5;
double ContrastRatio(uint32_t a, uint32_t b);

// The dark veil of a button with the disabled look, and what it leaves of a face colour.
constexpr uint32_t kDisabledVeil = Rgb(80, 80, 80);
constexpr uint32_t kDisabledVeilAlpha = 220;
uint32_t VeiledFace(uint32_t face);

// The caption over the veil: dimmer than a live caption, still readable on the veiled face.
constexpr uint32_t kDisabledCaption = Rgb(188, 196, 208);
// The caption of a locked button (one the device does not let the player change): grey, so it
// reads as locked, and light enough to read on the button face.
constexpr uint32_t kLockedCaption = Rgb(166, 166, 166);

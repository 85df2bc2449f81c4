// The two modifier bytes of the program. They share their low four bits, which is why they are
// easy to mix up; they are not the same thing:
// - the combination byte of a button assignment (KeyInfo::stCombo[0]) holds one bit per kind of
//   modifier, either side of the keyboard;
// - the HID modifier byte of key names and key capture keeps the left and right keys apart.
#pragma once
#include <cstdint>

// Bits of a combination's modifier byte.
enum ComboModifier : uint8_t {
    kComboCtrl = 0x01,
    kComboShift = 0x02,
    kComboAlt = 0x04,
    kComboWin = 0x08,
};

// Bits of the HID modifier byte.
enum HidModifier : uint8_t {
    kHidLCtrl = 0x01,
    kHidLShift = 0x02,
    kHidLAlt = 0x04,
    kHidLWin = 0x08,
    kHidRCtrl = 0x10,
    kHidRShift = 0x20,
    kHidRAlt = 0x40,
    kHidRWin = 0x80,
    // Either side.
    kHidCtrl = kHidLCtrl | kHidRCtrl,
    kHidShift = kHidLShift | kHidRShift,
    kHidAlt = kHidLAlt | kHidRAlt,
    kHidWin = kHidLWin | kHidRWin,
};

// How virtual-key codes and key combinations are named on screen, shared by the buttons page
// and the macro page.
#pragma once
#include <cstdint>
#include <string>

#include "profile/modifier_bits.h"

// The caption of one key: the mouse-button codes 0xF0..0xF4 by their texts, 0xFF none, the named
// keys by name, any other key by the character it types (upper-cased).
std::string GetKeyName(uint32_t code);
// "Ctrl + Shift + A": modifier kinds with short names, then the keys that are not 0.
std::string GetComboText(uint8_t modifiers, uint8_t key1, uint8_t key2, uint8_t key3);
// The same naming left and right modifiers apart: "L-Ctrl + R-Alt + A".
std::string GetComboTextLR(uint8_t modifiers, uint8_t key1, uint8_t key2, uint8_t key3);

// What the macro page shows of the editor's rows and how keyboard input reaches its recorder:
// the screen side of the macro editor (key names, texts, the key translation).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "macro/macro_editor.h"

struct CapturedCombo;

// The row's text: the key name, "%d ms", or the move text with its distances.
std::string EventRowText(const EventRow& row);
// The icon picture of a row's kind ("mac_u.png", "mac_d.png", "mac_t.png", "mac_m.png").
const char* EventRowIcon(EventKind kind);

// The key an insert or edit takes from the capture dialog: the first captured key, or the
// left-hand code of a captured modifier (Ctrl, else Shift, else Alt, else Win); none when
// nothing was captured.
std::optional<uint32_t> KeyFromCapture(const CapturedCombo& combo);

// A keyboard message while recording (key-down/up, system key-down/up), with the right-hand
// modifiers told apart as the capture dialog does. Other messages are ignored.
RecordResult RecordKeyMessage(MacroEditor& editor, uint32_t msg, uint32_t virtualKey,
                              intptr_t lParam, uint32_t tick);

// The insert menu of the macro page: key press, key release, delay, then the mouse buttons the
// mouse supports (bits 0, 1, 2 of the button mask for left, right and middle).
struct InsertMenuItem {
    const char* textKey;
    uint32_t value;  // as the menu returns it
};
std::vector<InsertMenuItem> InsertMenuItems(uint32_t buttonMask);

// What a chosen insert value asks for: the key-capture dialog (press or release), the delay
// input box, or a click of the mouse button `button` (0xF0, 0xF1, 0xF2).
enum class InsertKind { None, KeyPress, KeyRelease, Delay, Click };
struct InsertRequest {
    InsertKind kind = InsertKind::None;
    uint8_t button = 0;
};
InsertRequest DecodeInsertChoice(uint32_t value);

// What the macro page shows of the editor's rows and how keyboard input reaches its recorder:
// the screen side of the macro editor (key names, texts, the key translation).
#pragma once
#include <cstdint>
#include <optional>
#include <string>

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

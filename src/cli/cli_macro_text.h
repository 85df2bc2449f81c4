// Macro events as words: what `macro show` prints and `macro new` reads, one syntax for both so
// that a macro shown can be typed (or piped) back as it stands:
//
//   down A 50ms up A move 3,-2 down MouseLeft up MouseLeft
//
// "down <key>" and "up <key>" press and release a key or mouse button, "move <dx>,<dy>" moves the
// pointer (-127 to 127 each way), and "<n>ms" waits after the event before it.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "macro/st_macro.h"

namespace cli {

// The name of a key or mouse-button code as a macro event names it ("A", "LShift",
// "MouseLeft"); "0x.." for a code without a name.
std::string MacroKeyName(uint8_t code);
// Every key name a macro event takes.
std::vector<std::string> MacroKeyNames();
// The code of a name MacroKeyName gives (any case, also "0x.."); 0 for a word that names no key
// or button the mouse can play in a macro.
uint8_t MacroKeyCode(std::string_view word);

// One event in the syntax, its delay included ("down A 50ms", "move 3,-2").
std::string MacroEventText(const MacroEvent& e);

struct MacroEventsError {
    std::string why;   // names the word and its position among the event words
    std::string near;  // a key name the user may have meant, or ""
};
// The events of `words`; each word may hold several event words separated by spaces (one
// quoted argument or many). Refused with the reason when a word is unknown, a key cannot be
// played by the mouse, the events number more than a macro holds or a delay is too long.
std::optional<std::vector<MacroEvent>> ParseMacroEvents(const std::vector<std::string>& words,
                                                        MacroEventsError* error);

}  // namespace cli

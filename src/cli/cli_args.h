// Reading the words of the command line: numbers, colours, switches, key combinations and the
// names of button functions, media keys and lighting modes.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profile/profile_file.h"

namespace cli {

// Decimal or 0x-prefixed hexadecimal, the whole word, within [lo, hi].
std::optional<int64_t> ParseNumber(std::string_view word, int64_t lo, int64_t hi);
// "#rrggbb" (or without '#') as red + 256 * green + 65536 * blue.
std::optional<uint32_t> ParseColour(std::string_view word);
// "on" / "off".
std::optional<int32_t> ParseOnOff(std::string_view word);
// "#rrggbb" of a stored colour.
std::string ColourText(uint32_t colour);

// A combination such as "Ctrl+Shift+A": modifier bits (Ctrl 1, Shift 2, Alt 4, Win 8) and up to
// three virtual-key codes. None, with the reason, when a name is unknown or the keys would not
// fit the mouse's combination record (five modifiers and keys together).
struct Combo {
    uint8_t modifiers = 0;
    uint8_t keys[3] = {};
};
std::optional<Combo> ParseCombo(std::string_view text, std::string* why);

// The combination as ParseCombo takes it ("Ctrl+Shift+A"), "" when a key has no name.
std::string ComboText(const Combo& c);
// The name of a virtual-key code as KeyCodeOfName takes it, "" when it has none.
std::string KeyNameOfCode(uint8_t vk);

// The virtual-key code of a key name ("A", "F5", "Enter", "PageUp", ...), or 0.
uint8_t KeyCodeOfName(std::string_view name);

struct NamedValue {
    const char* name;
    uint32_t value;
};
// Media keys by name: the function id of each.
const std::vector<NamedValue>& MediaNames();
// Simple button functions by name (left, right, off, dpi-up, ...).
const std::vector<NamedValue>& ButtonFunctionNames();
// Lighting modes of the main lighting, the logo lighting and the DPI indicator.
const std::vector<NamedValue>& MainModeNames();
const std::vector<NamedValue>& LogoModeNames();
const std::vector<NamedValue>& DpiLightModeNames();
std::optional<uint32_t> LookUp(const std::vector<NamedValue>& table, std::string_view name);
std::string NameOf(const std::vector<NamedValue>& table, uint32_t value);

// The word of `choices` nearest to a mistyped `word` (a letter or two away), "" when none is.
std::string NearestWord(std::string_view word, const std::vector<std::string>& choices);
std::vector<std::string> NamesOf(const std::vector<NamedValue>& table);

// Every key name the combination parser takes, for the help text.
std::string KeyNamesHelp();

}  // namespace cli

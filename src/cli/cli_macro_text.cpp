#include "cli/cli_macro_text.h"

#include <cctype>
#include <cstdio>

#include "cli/cli_args.h"
#include "profile/hid_key_table.h"

namespace cli {

namespace {

struct CodeName {
    const char* name;
    uint8_t code;
};
// Names a combination has no use for: modifier keys pressed on their own and mouse buttons.
// Ctrl, Shift, Alt and Win stand for the left keys, the ones a keyboard's recorder meets first.
constexpr CodeName kMacroOnlyNames[] = {
    {"LCtrl", 0xA2},     {"RCtrl", 0xA3},      {"LShift", 0xA0},      {"RShift", 0xA1},
    {"LAlt", 0xA4},      {"RAlt", 0xA5},       {"LWin", 0x5B},        {"RWin", 0x5C},
    {"MouseLeft", 0xF0}, {"MouseRight", 0xF1}, {"MouseMiddle", 0xF2}, {"MouseForward", 0xF3},
    {"MouseBack", 0xF4}, {"Ctrl", 0xA2},       {"Shift", 0xA0},       {"Alt", 0xA4},
    {"Win", 0x5B},
};

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Keys the mouse can play in a macro: those with a keyboard usage, and the five buttons.
bool Playable(uint8_t code) {
    return (code >= MOUSE_VK_LEFT && code <= MOUSE_VK_BACK) || VkToHidUsage(code) != 0;
}

std::vector<std::string> AllKeyNames() {
    std::vector<std::string> names;
    for (int c = 1; c < 256; ++c) {
        std::string n = MacroKeyName(static_cast<uint8_t>(c));
        if (n.rfind("0x", 0) != 0) names.push_back(std::move(n));
    }
    return names;
}

// "<n>ms": the milliseconds, or none for any other word.
std::optional<int64_t> DelayOfWord(std::string_view w) {
    if (w.size() < 3 || !SameWord(w.substr(w.size() - 2), "ms")) return std::nullopt;
    return ParseNumber(w.substr(0, w.size() - 2), 0, 1000000000);
}

// "<dx>,<dy>", each -127 to 127, as the move dialog takes them.
std::optional<std::pair<int, int>> MoveOfWord(std::string_view w) {
    const size_t comma = w.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    auto part = [](std::string_view s) -> std::optional<int> {
        const bool minus = !s.empty() && s[0] == '-';
        auto v = ParseNumber(minus ? s.substr(1) : s, 0, 127);
        if (!v) return std::nullopt;
        return static_cast<int>(minus ? -*v : *v);
    };
    auto dx = part(w.substr(0, comma)), dy = part(w.substr(comma + 1));
    if (!dx || !dy) return std::nullopt;
    return std::make_pair(*dx, *dy);
}

}  // namespace

std::string MacroKeyName(uint8_t code) {
    for (const CodeName& n : kMacroOnlyNames)
        if (n.code == code) return n.name;
    if (VkToHidUsage(code) != 0) {
        std::string name = KeyNameOfCode(code);
        if (!name.empty()) return name;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02x", code);
    return hex;
}

uint8_t MacroKeyCode(std::string_view word) {
    for (const CodeName& n : kMacroOnlyNames)
        if (SameWord(word, n.name)) return n.code;
    uint8_t code = KeyCodeOfName(word);
    if (code == 0 && word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X'))
        if (auto v = ParseNumber(word, 1, 0xFF)) code = static_cast<uint8_t>(*v);
    return Playable(code) ? code : 0;
}

std::string MacroEventText(const MacroEvent& e) {
    std::string s;
    if (e.flags & kMacroEventMove) {
        const int dx = static_cast<int8_t>(e.code & 0xFF);
        const int dy = static_cast<int8_t>((e.code >> 8) & 0xFF);
        s = "move " + std::to_string(dx) + "," + std::to_string(dy);
    } else {
        s = std::string((e.flags & kMacroEventDown) ? "down " : "up ") +
            MacroKeyName(static_cast<uint8_t>(e.code & 0xFF));
    }
    const uint32_t delay = e.delay;
    if (delay) s += " " + std::to_string(delay) + "ms";
    return s;
}

std::optional<std::vector<MacroEvent>> ParseMacroEvents(const std::vector<std::string>& words,
                                                        MacroEventsError* error) {
    std::vector<std::string> t;
    for (const std::string& w : words) {
        size_t i = 0;
        while (i < w.size()) {
            while (i < w.size() && std::isspace(static_cast<unsigned char>(w[i]))) ++i;
            size_t end = i;
            while (end < w.size() && !std::isspace(static_cast<unsigned char>(w[end]))) ++end;
            if (end > i) t.push_back(w.substr(i, end - i));
            i = end;
        }
    }
    auto fail = [&](size_t at, const std::string& why, std::string near = {}) {
        error->why = "event word " + std::to_string(at + 1) + " \"" + t[at] + "\": " + why;
        error->near = std::move(near);
        return std::nullopt;
    };
    std::vector<MacroEvent> events;
    for (size_t i = 0; i < t.size(); ++i) {
        if (auto ms = DelayOfWord(t[i])) {
            if (events.empty()) return fail(i, "a delay follows the event it waits after");
            // Delays in a row add up, as they would when played.
            const uint64_t total = uint64_t{events.back().delay} + static_cast<uint64_t>(*ms);
            if (total > kMaxMacroDelayMs)
                return fail(i, "a delay is at most " + std::to_string(kMaxMacroDelayMs) + " ms");
            events.back().delay = static_cast<uint32_t>(total);
            continue;
        }
        const bool down = SameWord(t[i], "down"), up = SameWord(t[i], "up");
        const bool move = SameWord(t[i], "move");
        if (!down && !up && !move)
            return fail(i, "not an event (down <key>, up <key>, move <dx>,<dy> or <n>ms)",
                        NearestWord(t[i], {"down", "up", "move"}));
        if (i + 1 == t.size())
            return fail(i, move ? "the move needs <dx>,<dy>" : "the key is missing");
        MacroEvent e;
        ++i;
        if (move) {
            auto d = MoveOfWord(t[i]);
            if (!d) return fail(i, "a move is <dx>,<dy>, each from -127 to 127");
            if (d->first == 0 && d->second == 0) return fail(i, "this move goes nowhere");
            e.code = static_cast<int16_t>(static_cast<uint16_t>(
                static_cast<uint8_t>(d->first) | (static_cast<uint8_t>(d->second) << 8)));
            e.flags = kMacroEventMove;
        } else {
            const uint8_t code = MacroKeyCode(t[i]);
            if (code == 0) {
                const std::string near = NearestWord(t[i], AllKeyNames());
                return fail(i, "not a key the mouse can play", near);
            }
            e.code = code;
            e.flags = down ? kMacroEventDown : 0;
        }
        if (events.size() == static_cast<size_t>(MAX_MACRO_EVENTS))
            return fail(i, "a macro holds at most " + std::to_string(MAX_MACRO_EVENTS) + " events");
        events.push_back(e);
    }
    if (events.empty()) {
        error->why = "no events given";
        error->near.clear();
        return std::nullopt;
    }
    return events;
}

std::vector<std::string> MacroKeyNames() {
    return AllKeyNames();
}

}  // namespace cli

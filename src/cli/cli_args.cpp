#include "cli/cli_args.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "base/number_text.h"
#include "profile/modifier_bits.h"

namespace cli {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

struct KeyName {
    const char* name;
    uint8_t vk;
};
// Named keys besides letters, digits and F1..F12.
constexpr KeyName kKeys[] = {
    {"Enter", 0x0D},    {"Esc", 0x1B},      {"Escape", 0x1B},      {"Backspace", 0x08},
    {"Tab", 0x09},      {"Space", 0x20},    {"Minus", 0xBD},       {"Equals", 0xBB},
    {"LBracket", 0xDB}, {"RBracket", 0xDD}, {"Backslash", 0xDC},   {"Semicolon", 0xBA},
    {"Quote", 0xDE},    {"Grave", 0xC0},    {"Comma", 0xBC},       {"Period", 0xBE},
    {"Slash", 0xBF},    {"CapsLock", 0x14}, {"PrintScreen", 0x2C}, {"ScrollLock", 0x91},
    {"Pause", 0x13},    {"Insert", 0x2D},   {"Home", 0x24},        {"PageUp", 0x21},
    {"Delete", 0x2E},   {"End", 0x23},      {"PageDown", 0x22},    {"Right", 0x27},
    {"Left", 0x25},     {"Down", 0x28},     {"Up", 0x26},          {"NumLock", 0x90},
    {"NumSlash", 0x6F}, {"NumStar", 0x6A},  {"NumMinus", 0x6D},    {"NumPlus", 0x6B},
    {"NumDot", 0x6E},   {"Apps", 0x5D},
};

}  // namespace

std::optional<int64_t> ParseNumber(std::string_view w, int64_t lo, int64_t hi) {
    if (w.empty() || w.size() > 18) return std::nullopt;
    int base = 10;
    if (w.size() > 2 && w[0] == '0' && (w[1] == 'x' || w[1] == 'X')) {
        base = 16;
        w.remove_prefix(2);
    }
    const DigitRun run = ReadDigits(w, 0, base);
    if (run.digits != w.size() || run.overflow) return std::nullopt;
    if (run.value > static_cast<uint64_t>(std::max<int64_t>(hi, 0))) return std::nullopt;
    const int64_t v = static_cast<int64_t>(run.value);
    if (v < lo || v > hi) return std::nullopt;
    return v;
}

std::optional<uint32_t> ParseColour(std::string_view w) {
    if (!w.empty() && w[0] == '#') w.remove_prefix(1);
    if (w.size() != 6) return std::nullopt;
    auto v = ParseNumber("0x" + std::string(w), 0, 0xFFFFFF);
    if (!v) return std::nullopt;
    const uint32_t rgb = static_cast<uint32_t>(*v);
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

std::optional<int32_t> ParseOnOff(std::string_view w) {
    const std::string l = Lower(w);
    if (l == "on") return 1;
    if (l == "off") return 0;
    return std::nullopt;
}

std::string ColourText(uint32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return buf;
}

uint8_t KeyCodeOfName(std::string_view name) {
    const std::string l = Lower(name);
    if (l.size() == 1 && l[0] >= 'a' && l[0] <= 'z') return static_cast<uint8_t>(l[0] - 'a' + 'A');
    if (l.size() == 1 && l[0] >= '0' && l[0] <= '9') return static_cast<uint8_t>(l[0]);
    if (l.size() >= 2 && l[0] == 'f') {
        if (auto n = ParseNumber(l.substr(1), 1, 12)) return static_cast<uint8_t>(0x6F + *n);
    }
    if (l.size() == 4 && l.rfind("num", 0) == 0 && l[3] >= '0' && l[3] <= '9')
        return static_cast<uint8_t>(0x60 + (l[3] - '0'));
    for (const KeyName& k : kKeys)
        if (Lower(k.name) == l) return k.vk;
    return 0;
}

std::string KeyNameOfCode(uint8_t vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, char(vk));
    if (vk >= 0x70 && vk <= 0x7B) return "F" + std::to_string(vk - 0x6F);
    if (vk >= 0x60 && vk <= 0x69) return "Num" + std::to_string(vk - 0x60);
    for (const KeyName& k : kKeys)
        if (k.vk == vk) return k.name;
    return "";
}

std::string ComboText(const Combo& c) {
    std::string s;
    const std::pair<uint8_t, const char*> mods[] = {
        {kComboCtrl, "Ctrl"}, {kComboShift, "Shift"}, {kComboAlt, "Alt"}, {kComboWin, "Win"}};
    for (const auto& [bit, name] : mods)
        if (c.modifiers & bit) s += std::string(s.empty() ? "" : "+") + name;
    for (uint8_t vk : c.keys) {
        if (vk == 0) continue;
        const std::string name = KeyNameOfCode(vk);
        if (name.empty()) return "";
        s += (s.empty() ? "" : "+") + name;
    }
    return s;
}

std::optional<Combo> ParseCombo(std::string_view text, std::string* why) {
    Combo c;
    int keys = 0;
    for (size_t start = 0;;) {
        const size_t plus = text.find('+', start);
        const std::string_view part = text.substr(start, plus - start);
        const std::string l = Lower(part);
        if (l == "ctrl") {
            c.modifiers |= kComboCtrl;
        } else if (l == "shift") {
            c.modifiers |= kComboShift;
        } else if (l == "alt") {
            c.modifiers |= kComboAlt;
        } else if (l == "win") {
            c.modifiers |= kComboWin;
        } else {
            const uint8_t vk = KeyCodeOfName(part);
            if (vk == 0) {
                if (why) {
                    std::vector<std::string> names = {"Ctrl", "Shift", "Alt", "Win"};
                    for (const KeyName& k : kKeys) names.push_back(k.name);
                    const std::string near = NearestWord(part, names);
                    *why = "unknown key \"" + std::string(part) + "\"" +
                           (near.empty() ? "" : " (did you mean " + near + "?)");
                }
                return std::nullopt;
            }
            if (keys == 3) {
                if (why) *why = "at most three keys";
                return std::nullopt;
            }
            c.keys[keys++] = vk;
        }
        if (plus == std::string_view::npos) break;
        start = plus + 1;
    }
    int mods = 0;
    for (uint8_t b : {kComboCtrl, kComboShift, kComboAlt, kComboWin})
        if (c.modifiers & b) ++mods;
    if (keys == 0) {
        if (why) *why = "a combination needs a key";
        return std::nullopt;
    }
    // The mouse's record holds five key presses at most.
    if (mods + keys > 5) {
        if (why) *why = "at most five modifiers and keys together";
        return std::nullopt;
    }
    return c;
}

const std::vector<NamedValue>& MediaNames() {
    static const std::vector<NamedValue> t = {
        {"media-select", 0x04000021}, {"play", 0x04000022},         {"stop", 0x04000023},
        {"previous", 0x04000024},     {"next", 0x04000025},         {"volume-up", 0x04000026},
        {"volume-down", 0x04000027},  {"mute", 0x04000028},         {"mail", 0x03000030},
        {"calculator", 0x03000031},   {"explorer", 0x03000032},     {"search", 0x03000033},
        {"home", 0x03000034},         {"browser-back", 0x03000035}, {"browser-forward", 0x03000036},
        {"browser-stop", 0x03000037}, {"refresh", 0x03000038},      {"favorites", 0x03000039},
    };
    return t;
}

const std::vector<NamedValue>& ButtonFunctionNames() {
    static const std::vector<NamedValue> t = {
        {"left", 0x01000011},
        {"right", 0x01000013},
        {"middle", 0x01000012},
        {"forward", 0x01000014},
        {"back", 0x01000015},
        {"off", 0x080000A2},
        {"dpi-up", 0x080000A8},
        {"dpi-down", 0x080000A9},
        {"dpi-cycle", 0x080000AA},
        {"rate-switch", 0x080000AC},
        {"profile-switch", 0x080000B0},
        {"light-mode", 0x080000A7},
        {"light-toggle", 0x080000AE},
        // Functions a catalogue entry or the mouse itself can give a button: named as well, so
        // that whatever show prints can be given back.
        {"double-click", 0x01000016},
        {"triple-click", 0x01000017},
        {"right-double-click", 0x01000018},
        {"shift", 0x080000A3},
        {"key-set-switch", 0x080000AB},
    };
    return t;
}

const std::vector<NamedValue>& MainModeNames() {
    static const std::vector<NamedValue> t = {
        {"off", 0},      {"steady", 1},   {"breathing", 2}, {"wave", 3},
        {"spectrum", 4}, {"reactive", 5}, {"cycle", 6},
    };
    return t;
}

const std::vector<NamedValue>& LogoModeNames() {
    static const std::vector<NamedValue> t = {
        {"off", 0}, {"steady", 1}, {"breathing", 2}, {"spectrum", 3}};
    return t;
}

const std::vector<NamedValue>& DpiLightModeNames() {
    static const std::vector<NamedValue> t = {{"off", 0}, {"steady", 1}, {"breathing", 2}};
    return t;
}

std::optional<uint32_t> LookUp(const std::vector<NamedValue>& table, std::string_view name) {
    const std::string l = Lower(name);
    for (const NamedValue& n : table)
        if (l == n.name) return n.value;
    return std::nullopt;
}

std::string NameOf(const std::vector<NamedValue>& table, uint32_t value) {
    for (const NamedValue& n : table)
        if (n.value == value) return n.name;
    return std::to_string(value);
}

std::string NearestWord(std::string_view word, const std::vector<std::string>& choices) {
    const std::string w = Lower(word);
    // Two edits for longer words, one for short ones: "sho" is show, "x" is nothing.
    const size_t allowed = w.size() > 4 ? 2 : 1;
    std::string best;
    size_t bestDist = allowed + 1;
    for (const std::string& choice : choices) {
        const std::string c = Lower(choice);
        // Edit distance where two letters typed the wrong way round ("mian") count as one slip.
        std::vector<std::vector<size_t>> d(w.size() + 1, std::vector<size_t>(c.size() + 1));
        for (size_t j = 0; j <= c.size(); ++j) d[0][j] = j;
        for (size_t i = 1; i <= w.size(); ++i) {
            d[i][0] = i;
            for (size_t j = 1; j <= c.size(); ++j) {
                d[i][j] = std::min(
                    {d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (w[i - 1] != c[j - 1])});
                if (i > 1 && j > 1 && w[i - 1] == c[j - 2] && w[i - 2] == c[j - 1])
                    d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
        if (d[w.size()][c.size()] < bestDist) {
            bestDist = d[w.size()][c.size()];
            best = choice;
        }
    }
    return best;
}

std::vector<std::string> NamesOf(const std::vector<NamedValue>& table) {
    std::vector<std::string> out;
    for (const NamedValue& n : table) out.push_back(n.name);
    return out;
}

std::string KeyNamesHelp() {
    std::string s = "A-Z 0-9 F1-F12 Num0-Num9";
    for (const KeyName& k : kKeys) {
        s += ' ';
        s += k.name;
    }
    return s;
}

}  // namespace cli

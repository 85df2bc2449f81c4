#include "macro/st_macro.h"

#include <algorithm>

#include "platform/codepage.h"

namespace {

void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Case folding for names: ASCII, Latin-1, Greek and Cyrillic capitals, which covers the
// languages the program ships; other characters compare exactly.
char16_t Fold(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
        (c >= 0x391 && c <= 0x3A9) || (c >= 0x410 && c <= 0x42F))
        return static_cast<char16_t>(c + 32);
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 80);
    return c;
}

}  // namespace

void StMacroToBytes(const StMacro& m, uint8_t* out) {
    Put32(out + 0, m.dwMagicNumber);
    Put32(out + 4, m.id);
    Put32(out + 8, m.flags);
    Put32(out + 12, m.autoDelay);
    Put32(out + 16, m.LoopMode);
    for (int i = 0; i < kMacroNameChars; ++i) Put16(out + 20 + 2 * i, m.name[i]);
    Put32(out + 100, m.reserved);
    Put16(out + 104, m.repeatCount);
    for (int i = 0; i < kMacroEventSlots; ++i) {
        uint8_t* e = out + 106 + 8 * i;
        Put16(e, static_cast<uint16_t>(m.events[i].code));
        Put16(e + 2, m.events[i].flags);
        Put32(e + 4, m.events[i].delay);
    }
}

StMacro StMacroFromBytes(const uint8_t* in) {
    StMacro m;
    m.dwMagicNumber = Get32(in + 0);
    m.id = Get32(in + 4);
    m.flags = Get32(in + 8);
    m.autoDelay = Get32(in + 12);
    m.LoopMode = Get32(in + 16);
    for (int i = 0; i < kMacroNameChars; ++i) m.name[i] = Get16(in + 20 + 2 * i);
    m.reserved = Get32(in + 100);
    m.repeatCount = Get16(in + 104);
    for (int i = 0; i < kMacroEventSlots; ++i) {
        const uint8_t* e = in + 106 + 8 * i;
        m.events[i].code = static_cast<int16_t>(Get16(e));
        m.events[i].flags = Get16(e + 2);
        m.events[i].delay = Get32(e + 4);
    }
    return m;
}

std::u16string MacroName(const StMacro& m) {
    std::u16string s;
    for (int i = 0; i < kMacroNameChars - 1 && m.name[i] != 0; ++i) s.push_back(m.name[i]);
    return s;
}

std::string MacroNameUtf8(const StMacro& m) {
    return platform::Utf16ToUtf8(MacroName(m));
}

void SetMacroName(StMacro& m, std::u16string_view name) {
    size_t n = std::min<size_t>(name.size(), kMacroNameChars - 1);
    // A high surrogate without its partner would turn into U+FFFD on the way to a file name.
    if (n > 0 && n < name.size() && name[n - 1] >= 0xD800 && name[n - 1] <= 0xDBFF) --n;
    for (int i = 0; i < kMacroNameChars; ++i)
        m.name[i] = static_cast<size_t>(i) < n ? name[i] : u'\0';
}

void SetMacroNameUtf8(StMacro& m, std::string_view name) {
    SetMacroName(m, platform::Utf8ToUtf16(name));
}

int CountMacroEvents(const StMacro& m) {
    int n = 0;
    while (n < kMacroEventSlots && !(m.events[n].code == 0 && m.events[n].delay == 0)) ++n;
    return n;
}

StMacro NewMacroRecord(std::string_view name, MacroId id) {
    StMacro m;
    m.dwMagicNumber = MACRO_MAGIC;
    m.id = id;
    m.autoDelay = 1;
    m.LoopMode = 0;
    m.repeatCount = 1;
    SetMacroNameUtf8(m, name);
    return m;
}

StMacro NewMacroRecord(std::string_view name) {
    return NewMacroRecord(name, NewMacroId());
}

static bool EqualFolded(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

bool MacroNamesEqual(std::u16string_view a, std::u16string_view b) {
    a = a.substr(0, std::min<size_t>(a.size(), kMacroNameChars));
    b = b.substr(0, std::min<size_t>(b.size(), kMacroNameChars));
    return EqualFolded(a, b);
}

bool TextsEqualIgnoringCase(std::string_view a, std::string_view b) {
    return EqualFolded(platform::Utf8ToUtf16(a), platform::Utf8ToUtf16(b));
}

bool MacroNamesEqualUtf8(std::string_view a, std::string_view b) {
    return MacroNamesEqual(platform::Utf8ToUtf16(a), platform::Utf8ToUtf16(b));
}

bool MacrosEqual(const StMacro& a, const StMacro& b) {
    if (!MacroNamesEqual(MacroName(a), MacroName(b))) return false;
    int n = CountMacroEvents(a);
    if (n != CountMacroEvents(b)) return false;
    for (int i = 0; i < n; ++i) {
        const MacroEvent ea = a.events[i], eb = b.events[i];
        if (ea.code != eb.code || ea.flags != eb.flags) return false;
        // The mouse keeps no delay after its last event, so a macro read back from it always
        // differs there; counting that as a change would rewrite the user's file on every read.
        if (i + 1 < n && ea.delay != eb.delay) return false;
    }
    return true;
}

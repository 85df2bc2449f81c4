#include "ui/key_names.h"

#include <array>
#include <cstdio>
#include <string_view>
#include <utility>

#include "base/language_texts.h"
#include "platform/keyboard.h"

namespace {

struct NamedKey {
    uint8_t code;
    const char* name;
};

constexpr std::array<NamedKey, 55> kNamedKeys{{
    {0x08, "Backspace"},   {0x09, "Tab"},     {0x0C, "Clr"},         {0x0D, "Enter"},
    {0x10, "Shift"},       {0x11, "Ctrl"},    {0x12, "Alt"},         {0x13, "Pause"},
    {0x14, "CapsLock"},    {0x1B, "Esc"},     {0x20, "Space"},       {0x21, "PageUp"},
    {0x22, "PageDown"},    {0x23, "End"},     {0x24, "Home"},        {0x25, "Left"},
    {0x26, "Up"},          {0x27, "Right"},   {0x28, "Down"},        {0x29, "Select"},
    {0x2A, "Print"},       {0x2B, "Enter"},   {0x2C, "PrintScreen"}, {0x2D, "Insert"},
    {0x2E, "Delete"},      {0x2F, "Help"},    {0x5B, "L_Win"},       {0x5C, "R_Win"},
    {0x5D, "App"},         {0x6A, "Num *"},   {0x6B, "Num +"},       {0x6C, "\\"},
    {0x6D, "Num -"},       {0x6E, "Num ."},   {0x6F, "Num /"},       {0x70, "F1"},
    {0x71, "F2"},          {0x72, "F3"},      {0x73, "F4"},          {0x74, "F5"},
    {0x75, "F6"},          {0x76, "F7"},      {0x77, "F8"},          {0x78, "F9"},
    {0x79, "F10"},         {0x7A, "F11"},     {0x7B, "F12"},         {0x90, "NumLock"},
    {0x91, "Scroll Lock"}, {0xA0, "L_Shift"}, {0xA1, "R_Shift"},     {0xA2, "L_Ctrl"},
    {0xA3, "R_Ctrl"},      {0xA4, "L_Alt"},   {0xA5, "R_Alt"},
}};

// A character of the keyboard's code page as UTF-8; bytes above 0x7F are read as Latin-1,
// which is what the Western layouts produce.
std::string CharToUtf8(unsigned char c) {
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    std::string s;
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
    return s;
}

unsigned char ToUpperLatin1(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
    return c;
}

void Join(std::string& out, std::string_view part) {
    if (part.empty()) return;
    if (!out.empty()) out += " + ";
    out += part;
}

void JoinKeys(std::string& out, uint8_t k1, uint8_t k2, uint8_t k3) {
    for (uint8_t k : {k1, k2, k3}) {
        if (k != 0) Join(out, GetKeyName(k));
    }
}

}  // namespace

std::string GetKeyName(uint32_t code) {
    static constexpr std::array<const char*, 5> kMouseKeys{"tc_click", "tc_menu", "tc_middle",
                                                           "tc_forward", "tc_back"};
    if (code >= 0xF0 && code <= 0xF4) return GetText(kMouseKeys[code - 0xF0]);
    if (code == 0xFF || code > 0xFF) return {};
    if ((code >= 0x30 && code <= 0x39) || (code >= 0x41 && code <= 0x5A)) {
        return std::string(1, static_cast<char>(code));
    }
    if (code >= 0x60 && code <= 0x69) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "Num %u", static_cast<unsigned>(code - 0x60));
        return buf;
    }
    for (const NamedKey& k : kNamedKeys) {
        if (k.code == code) return k.name;
    }
    auto c = static_cast<unsigned char>(platform::KeyToChar(code));
    // A key that types nothing printable has no caption rather than a control character.
    if (c < 0x20 || c == 0x7F) return {};
    return CharToUtf8(ToUpperLatin1(c));
}

std::string GetComboText(uint8_t m, uint8_t k1, uint8_t k2, uint8_t k3) {
    std::string out;
    if (m & kHidCtrl) Join(out, "Ctrl");
    if (m & kHidAlt) Join(out, "Alt");
    if (m & kHidShift) Join(out, "Shift");
    if (m & kHidWin) Join(out, "Win");
    JoinKeys(out, k1, k2, k3);
    return out;
}

std::string GetComboTextLR(uint8_t m, uint8_t k1, uint8_t k2, uint8_t k3) {
    static constexpr std::array<std::pair<uint8_t, const char*>, 8> kNames{{
        {kHidLCtrl, "L-Ctrl"},
        {kHidLAlt, "L-Alt"},
        {kHidLShift, "L-Shift"},
        {kHidLWin, "L-Win"},
        {kHidRCtrl, "R-Ctrl"},
        {kHidRAlt, "R-Alt"},
        {kHidRShift, "R-Shift"},
        {kHidRWin, "R-Win"},
    }};
    std::string out;
    for (const auto& [bit, name] : kNames) {
        if (m & bit) Join(out, name);
    }
    JoinKeys(out, k1, k2, k3);
    return out;
}

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "base/language_texts.h"
#include "support/temp_dir.h"
#include "ui/key_names.h"

namespace {

struct KeyNameCase {
    uint32_t code;
    const char* name;
};

TEST(UiKeyNames, NamesOfTheNamedKeys) {
    const KeyNameCase cases[] = {
        {0x08, "Backspace"},   {0x0D, "Enter"}, {0x2B, "Enter"},       {0x10, "Shift"},
        {0x14, "CapsLock"},    {0x20, "Space"}, {0x21, "PageUp"},      {0x28, "Down"},
        {0x2C, "PrintScreen"}, {0x30, "0"},     {0x39, "9"},           {0x41, "A"},
        {0x5A, "Z"},           {0x5B, "L_Win"}, {0x5D, "App"},         {0x60, "Num 0"},
        {0x69, "Num 9"},       {0x6A, "Num *"}, {0x6C, "\\"},          {0x6F, "Num /"},
        {0x70, "F1"},          {0x7B, "F12"},   {0x91, "Scroll Lock"}, {0xA0, "L_Shift"},
        {0xA5, "R_Alt"},       {0xFF, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(GetKeyName(c.code), c.name) << std::hex << c.code;
}

TEST(UiKeyNames, OtherKeysAreTheirUpperCasedCharacterAndNeverAControlCharacter) {
    EXPECT_EQ(GetKeyName(0xBC), ",");
    EXPECT_EQ(GetKeyName(0xDB), "[");
    // Keys that type nothing (a mouse button, an unassigned code) have no caption at all.
    for (uint32_t code : {0x01u, 0x07u, 0x0Eu, 0x3Au, 0xE8u, 0x1FFu}) {
        const std::string name = GetKeyName(code);
        for (char c : name) EXPECT_GE(static_cast<unsigned char>(c), 0x20) << code;
    }
}

TEST(UiKeyNames, CombinationTexts) {
    EXPECT_EQ(GetComboText(0x11, 0x43, 0, 0), "Ctrl + C");
    EXPECT_EQ(GetComboText(0xFF, 0x41, 0x42, 0x43), "Ctrl + Alt + Shift + Win + A + B + C");
    EXPECT_EQ(GetComboText(0x20, 0, 0x70, 0), "Shift + F1");
    EXPECT_EQ(GetComboText(0, 0, 0, 0), "");
    EXPECT_EQ(GetComboTextLR(0x03, 0x41, 0, 0), "L-Ctrl + L-Shift + A");
    EXPECT_EQ(GetComboTextLR(0x10, 0, 0, 0), "R-Ctrl");
    EXPECT_EQ(GetComboTextLR(0xFF, 0, 0, 0),
              "L-Ctrl + L-Alt + L-Shift + L-Win + R-Ctrl + R-Alt + R-Shift + R-Win");
}

TEST(UiKeyNames, MouseButtonsAreNamedByTheLanguageTexts) {
    zvtest::TempDir dir;
    dir.Write("text.xml",
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<texts><config><tc_click>Left</tc_click>"
              "<tc_menu>Right</tc_menu><tc_middle>Middle</tc_middle>"
              "<tc_forward>Forward</tc_forward><tc_back>Back</tc_back></config></texts>\n");
    ASSERT_TRUE(LoadTexts(dir / "text.xml"));
    EXPECT_EQ(GetKeyName(0xF0), "Left");
    EXPECT_EQ(GetKeyName(0xF3), "Forward");
    EXPECT_EQ(GetKeyName(0xF4), "Back");
    EXPECT_EQ(GetComboText(0x01, 0xF2, 0, 0), "Ctrl + Middle");
}

}  // namespace

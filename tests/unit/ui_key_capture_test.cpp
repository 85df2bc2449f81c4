#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ui/key_capture.h"

namespace {

// A capture with its own history and a clock the test moves.
class UiKeyCapture : public ::testing::Test {
  protected:
    KeyCaptureHistory history;
    KeyCaptureModel capture{history};
    uint32_t now = 50000;

    void Press(uint32_t code, uint32_t afterMs = 100) {
        now += afterMs;
        capture.CaptureKeyEvent(code, false, now);
    }
    void Release(uint32_t code) { capture.CaptureKeyEvent(code, true, now); }
    void Tap(uint32_t code, uint32_t afterMs = 100) {
        Press(code, afterMs);
        Release(code);
    }
    CapturedCombo Combo(uint8_t m, uint8_t k1 = 0, uint8_t k2 = 0, uint8_t k3 = 0) {
        return {m, {k1, k2, k3}};
    }
};

TEST_F(UiKeyCapture, CtrlShiftAWithinASecondIsOneCombination) {
    Press(kVkControl);
    Press(kVkShift);
    Press('A');
    EXPECT_EQ(capture.Result(), Combo(0x03, 0x41));
    EXPECT_EQ(capture.Text(), "L-Ctrl + L-Shift + A");
}

TEST_F(UiKeyCapture, AFourthKeyStartsANewCapture) {
    Press(kVkControl);
    Press(kVkShift);
    Press('A');
    Release('A');
    Press('D');
    EXPECT_EQ(capture.Result(), Combo(0, 'D'));
}

TEST_F(UiKeyCapture, ASecondOrMoreBetweenPressesStartsOver) {
    Tap('A');
    Tap('B', 1500);
    EXPECT_EQ(capture.Result(), Combo(0, 'B'));
    Tap('C', 999);
    EXPECT_EQ(capture.Result(), Combo(0, 'B', 'C'));
    Tap('D', 1000);
    EXPECT_EQ(capture.Result(), Combo(0, 'D'));
}

TEST_F(UiKeyCapture, AutoRepeatAndRepeatedKeysAddNothing) {
    Press(kVkControl);
    Press(kVkControl);  // auto-repeat: the same press again
    Press('A');
    Press('A');
    Release('A');
    Press('A');  // pressed again after its release: already held, not added twice
    EXPECT_EQ(capture.Result(), Combo(0x01, 'A'));
}

TEST_F(UiKeyCapture, TheSameModifierKindAgainStartsOver) {
    Press(kVkControl);
    Press('A');
    Release(kVkControl);
    Press(kVkRControl);
    EXPECT_EQ(capture.Result(), Combo(0x10));
    EXPECT_EQ(capture.Text(), "R-Ctrl");
}

TEST_F(UiKeyCapture, RestartEachKeyKeepsOnlyTheLastPress) {
    capture.restartEachKey = true;
    Press(kVkControl);
    Press('X');
    EXPECT_EQ(capture.Result(), Combo(0, 'X'));
}

TEST_F(UiKeyCapture, HistoryIsSharedBetweenCaptures) {
    Press('A');
    // A second dialog opened while A is still down sees the same press repeated: ignored.
    KeyCaptureModel second{history};
    EXPECT_FALSE(second.CaptureKeyEvent('A', false, now + 50));
    EXPECT_EQ(second.Result(), CapturedCombo{});
}

TEST_F(UiKeyCapture, CheckBoxModeIgnoresKeyboardModifiersAndLimitsTheParts) {
    capture.checkBoxMode = true;
    Press('A');
    Press(kVkControl);
    Press(kVkRMenu);
    EXPECT_EQ(capture.Result(), Combo(0, 'A'));
    Press('B');
    Press('C');
    // Three keys held: a keyboard modifier still must not wipe them.
    Press(kVkShift);
    EXPECT_EQ(capture.Result(), Combo(0, 'A', 'B', 'C'));

    capture.Clear();
    Press('A');
    Press('B');
    EXPECT_FALSE(capture.ApplyCheckBoxes(true, false, true, false));  // 4 parts
    EXPECT_EQ(capture.Result(), Combo(0, 'A', 'B'));
    EXPECT_TRUE(capture.ApplyCheckBoxes(true, false, false, false));
    EXPECT_EQ(capture.Result(), Combo(0x01, 'A', 'B'));
}

// With the check boxes, what is pressed is what is stored: modifiers held with the key tick
// their boxes (only theirs); a key pressed alone leaves the boxes as they are.
TEST_F(UiKeyCapture, CheckBoxModeTicksTheBoxesOfHeldModifiers) {
    using Boxes = KeyCaptureModel::Boxes;
    capture.checkBoxMode = true;
    capture.SetTickedBoxes(false, false, true, false);  // Alt ticked by hand
    Press(kVkLControl);
    Press(kVkRShift);
    Press('A');
    EXPECT_EQ(capture.TickedBoxes(), (Boxes{true, true, false, false}));
    EXPECT_EQ(capture.Text(), "Ctrl + Shift + A");
    const Boxes b = capture.TickedBoxes();
    ASSERT_TRUE(capture.ApplyCheckBoxes(b.ctrl, b.shift, b.alt, b.win));
    EXPECT_EQ(capture.Result(), Combo(0x03, 'A'));

    Release('A');
    Release(kVkRShift);
    Release(kVkLControl);
    capture.Clear();
    Press('B', 1500);
    EXPECT_EQ(capture.TickedBoxes(), (Boxes{true, true, false, false}));
    Press(kVkLWin);
    Press('C');
    EXPECT_EQ(capture.TickedBoxes(), (Boxes{false, false, false, true}));
    EXPECT_EQ(capture.Text(), "Win + B + C");
}

TEST_F(UiKeyCapture, TickedBoxesShowInTheFieldAtOnce) {
    capture.checkBoxMode = true;
    Press('R');
    EXPECT_EQ(capture.Text(), "R");
    // ctrl, shift, alt, win
    struct Case {
        bool ctrl, shift, alt, win;
        const char* shown;
    };
    const Case cases[] = {
        {true, false, false, false, "Ctrl + R"},
        {true, true, false, false, "Ctrl + Shift + R"},
        {false, false, true, true, "Alt + Win + R"},
        {false, false, false, false, "R"},
    };
    for (const auto& c : cases) {
        capture.SetTickedBoxes(c.ctrl, c.shift, c.alt, c.win);
        EXPECT_EQ(capture.Text(), c.shown);
    }
    // Ticking only shows: the result changes on OK.
    capture.SetTickedBoxes(true, false, false, false);
    EXPECT_EQ(capture.Result(), Combo(0, 'R'));
    // A key pressed after ticking keeps the ticked modifiers in the field.
    Press('T');
    EXPECT_EQ(capture.Text(), "Ctrl + R + T");
}

TEST(UiKeyTranslation, RightHandModifiersAreToldApart) {
    struct Case {
        uint32_t vk;
        intptr_t lParam;
        uint32_t code;
    };
    const Case cases[] = {
        {kVkControl, 0x001D0001, kVkControl},
        {kVkControl, 0x011D0001, kVkRControl},
        {kVkMenu, 0x00380001, kVkMenu},
        {kVkMenu, 0x21380001, kVkRMenu},
        {kVkShift, 0x002A0001, kVkShift},
        {kVkShift, 0x00360001, kVkRShift},
        {'A', 0x011E0001, 'A'},
        {0x2E, 0x01530001, 0x2E},
    };
    for (const auto& c : cases) EXPECT_EQ(TranslateKeyMessage(c.vk, c.lParam), c.code) << c.vk;
    EXPECT_TRUE(IsKeyReleaseMessage(kWmSysKeyUp));
    EXPECT_FALSE(IsKeyReleaseMessage(kWmSysKeyDown));
}

}  // namespace

// Capturing a key or key combination from keyboard messages: the capture dialog and the
// macro recorder read keys the same way.
#pragma once
#include <array>
#include <cstdint>
#include <string>

// Virtual-key codes the capture needs by name.
enum CaptureVk : uint32_t {
    kVkShift = 0x10,
    kVkControl = 0x11,
    kVkMenu = 0x12,
    kVkLWin = 0x5B,
    kVkRWin = 0x5C,
    kVkLShift = 0xA0,
    kVkRShift = 0xA1,
    kVkLControl = 0xA2,
    kVkRControl = 0xA3,
    kVkLMenu = 0xA4,
    kVkRMenu = 0xA5,
};

// Keyboard message kinds, with the Win32 numbers.
enum KeyMessage : uint32_t {
    kWmKeyDown = 0x100,
    kWmKeyUp = 0x101,
    kWmSysKeyDown = 0x104,
    kWmSysKeyUp = 0x105,
};

bool IsKeyboardMessage(uint32_t msg);
bool IsKeyReleaseMessage(uint32_t msg);

// The key a keyboard message means, with the right-hand modifiers told apart: Ctrl and Alt
// by the extended-key bit (lParam bit 24), Shift by its scan code (right Shift has bit 4 of the
// scan code, lParam bit 20, set).
uint32_t TranslateKeyMessage(uint32_t virtualKey, std::intptr_t lParam);

bool IsModifierKey(uint32_t code);

// What all capture dialogs of the process remember between them, so that auto-repeat and a
// release that arrives after a dialog closed do not start a new capture.
struct KeyCaptureHistory {
    uint32_t lastCode = 0;
    bool lastRelease = false;
    bool hasLast = false;
    uint32_t lastPressTick = 0;
};
KeyCaptureHistory& ProcessKeyCaptureHistory();

// The four bytes of a captured combination: modifier bits, then up to three keys.
struct CapturedCombo {
    uint8_t modifiers = 0;
    std::array<uint8_t, 3> keys{};
    bool operator==(const CapturedCombo&) const = default;
    int KeyCount() const;
    // Ctrl, Alt, Shift, Win present, each counted once whether left or right.
    int ModifierKinds() const;
};

class KeyCaptureModel {
  public:
    explicit KeyCaptureModel(KeyCaptureHistory& history = ProcessKeyCaptureHistory())
        : m_history(history) {}

    // Modifiers come from check boxes. Modifier keys held down while a key is pressed tick
    // their boxes (and only theirs), so pressing Ctrl+Shift+A captures Ctrl+Shift+A; a key
    // pressed alone leaves the boxes as the user ticked them.
    bool checkBoxMode = false;
    // Every press starts a new capture (capturing a single key).
    bool restartEachKey = false;

    // One key event; `tick` is the millisecond clock. Returns true when the bytes changed.
    bool CaptureKeyEvent(uint32_t code, bool release, uint32_t tick);

    // Replaces the modifier byte by the check boxes. False (and nothing changed) when the
    // combination would then have more than three parts.
    bool ApplyCheckBoxes(bool ctrl, bool shift, bool alt, bool win);
    // The boxes as they are ticked now: the field shows the combination they will make with
    // the keys, before OK takes them.
    void SetTickedBoxes(bool ctrl, bool shift, bool alt, bool win);

    // The boxes as the capture has them now: Ctrl, Shift, Alt, Win.
    struct Boxes {
        bool ctrl = false, shift = false, alt = false, win = false;
        bool operator==(const Boxes&) const = default;
    };
    Boxes TickedBoxes() const;

    const CapturedCombo& Result() const { return m_combo; }
    void Clear() { m_combo = {}; }
    // What the edit box shows. With check boxes the modifiers are the ticked ones, named
    // without a side, as the boxes have none.
    std::string Text() const;

  private:
    KeyCaptureHistory& m_history;
    CapturedCombo m_combo;
    uint8_t m_ticked = 0;
    uint8_t m_held = 0;  // modifier keys down now (check-box mode), as modifier bits
};

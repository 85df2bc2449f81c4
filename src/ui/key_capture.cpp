#include "ui/key_capture.h"

#include "ui/key_names.h"

bool IsKeyboardMessage(uint32_t msg) {
    return msg == kWmKeyDown || msg == kWmKeyUp || msg == kWmSysKeyDown || msg == kWmSysKeyUp;
}

bool IsKeyReleaseMessage(uint32_t msg) {
    return msg == kWmKeyUp || msg == kWmSysKeyUp;
}

uint32_t TranslateKeyMessage(uint32_t vk, std::intptr_t lParam) {
    const auto bits = static_cast<uint32_t>(lParam);
    const bool extended = (bits & (1u << 24)) != 0;
    if (vk == kVkControl && extended) return kVkRControl;
    if (vk == kVkMenu && extended) return kVkRMenu;
    if (vk == kVkShift && (bits & (1u << 20)) != 0) return kVkRShift;
    return vk;
}

bool IsModifierKey(uint32_t code) {
    return code == kVkShift || code == kVkControl || code == kVkMenu || code == kVkLWin ||
           code == kVkRWin || (code >= kVkLShift && code <= kVkRMenu);
}

KeyCaptureHistory& ProcessKeyCaptureHistory() {
    static KeyCaptureHistory history;
    return history;
}

int CapturedCombo::KeyCount() const {
    int n = 0;
    for (uint8_t k : keys) n += k != 0;
    return n;
}

int CapturedCombo::ModifierKinds() const {
    return ((modifiers & kHidCtrl) != 0) + ((modifiers & kHidAlt) != 0) +
           ((modifiers & kHidShift) != 0) + ((modifiers & kHidWin) != 0);
}

namespace {

// The modifier bit of a modifier key; 0 for other keys.
uint8_t ModifierBit(uint32_t code) {
    switch (code) {
        case kVkShift:
        case kVkLShift:
            return kHidLShift;
        case kVkRShift:
            return kHidRShift;
        case kVkControl:
        case kVkLControl:
            return kHidLCtrl;
        case kVkRControl:
            return kHidRCtrl;
        case kVkMenu:
        case kVkLMenu:
            return kHidLAlt;
        case kVkRMenu:
            return kHidRAlt;
        case kVkLWin:
            return kHidLWin;
        case kVkRWin:
            return kHidRWin;
        default:
            return 0;
    }
}

// The left-hand bits of the kinds present (the check boxes have no side).
uint8_t BoxesOf(uint8_t kinds) {
    return static_cast<uint8_t>(kinds & (kHidLCtrl | kHidLShift | kHidLAlt | kHidLWin));
}

// Both sides of the modifier's kind.
uint8_t ModifierKind(uint8_t bit) {
    return static_cast<uint8_t>((bit & 0x0F) * 0x11 | (bit >> 4) * 0x11);
}

}  // namespace

bool KeyCaptureModel::CaptureKeyEvent(uint32_t code, bool release, uint32_t tick) {
    if (code == 0 || code > 0xFF) return false;
    if (m_history.hasLast && m_history.lastCode == code && m_history.lastRelease == release) {
        return false;  // auto-repeat
    }
    const bool modifier = IsModifierKey(code);
    // With the check boxes, keyboard modifiers are no part of the captured keys, so they must
    // not end the combination captured so far either; held down they tick their boxes when
    // the key comes.
    if (modifier && checkBoxMode) {
        const uint8_t bit = ModifierBit(code);
        if (release)
            m_held = static_cast<uint8_t>(m_held & ~ModifierKind(bit));
        else
            m_held |= bit;
        m_history.hasLast = true;
        m_history.lastCode = code;
        m_history.lastRelease = release;
        return false;
    }

    m_history.hasLast = true;
    m_history.lastCode = code;
    m_history.lastRelease = release;
    if (release) return false;

    const CapturedCombo before = m_combo;
    bool changed = false;
    const int count = m_combo.KeyCount() + m_combo.ModifierKinds();
    if (count >= 3) {
        m_combo = {};
    } else if (modifier) {
        if (m_combo.modifiers & ModifierKind(ModifierBit(code))) m_combo = {};
    } else if (m_combo.KeyCount() >= 3) {
        m_combo = {};
    }
    if ((tick - m_history.lastPressTick) / 1000 >= 1) m_combo = {};
    m_history.lastPressTick = tick;
    if (restartEachKey) m_combo = {};

    if (checkBoxMode && m_held) {
        // The boxes say what is held, each kind on its left-hand bit as the boxes make it.
        const uint8_t kinds = static_cast<uint8_t>((m_held | m_held >> 4) & 0x0F);
        const uint8_t ticked = BoxesOf(kinds);
        if (ticked != m_ticked) {
            m_ticked = ticked;
            changed = true;
        }
    }
    if (modifier) {
        m_combo.modifiers |= ModifierBit(code);
    } else {
        const auto key = static_cast<uint8_t>(code);
        bool present = false;
        for (uint8_t k : m_combo.keys) present = present || k == key;
        if (!present) {
            for (uint8_t& k : m_combo.keys) {
                if (k == 0) {
                    k = key;
                    break;
                }
            }
        }
    }
    return changed || !(m_combo == before);
}

KeyCaptureModel::Boxes KeyCaptureModel::TickedBoxes() const {
    return {(m_ticked & kHidLCtrl) != 0, (m_ticked & kHidLShift) != 0, (m_ticked & kHidLAlt) != 0,
            (m_ticked & kHidLWin) != 0};
}

namespace {
uint8_t BoxModifiers(bool ctrl, bool shift, bool alt, bool win) {
    return static_cast<uint8_t>((ctrl ? kHidLCtrl : 0) | (shift ? kHidLShift : 0) |
                                (alt ? kHidLAlt : 0) | (win ? kHidLWin : 0));
}
}  // namespace

void KeyCaptureModel::SetTickedBoxes(bool ctrl, bool shift, bool alt, bool win) {
    m_ticked = BoxModifiers(ctrl, shift, alt, win);
}

bool KeyCaptureModel::ApplyCheckBoxes(bool ctrl, bool shift, bool alt, bool win) {
    CapturedCombo next = m_combo;
    next.modifiers = BoxModifiers(ctrl, shift, alt, win);
    if (next.KeyCount() + next.ModifierKinds() > 3) return false;
    m_combo = next;
    return true;
}

std::string KeyCaptureModel::Text() const {
    if (checkBoxMode) {
        return GetComboText(m_ticked, m_combo.keys[0], m_combo.keys[1], m_combo.keys[2]);
    }
    return GetComboTextLR(m_combo.modifiers, m_combo.keys[0], m_combo.keys[1], m_combo.keys[2]);
}

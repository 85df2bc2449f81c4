#include "ui/macro_rows.h"

#include <cstdio>

#include "base/language_texts.h"
#include "ui/key_capture.h"
#include "ui/key_names.h"

std::string EventRowText(const EventRow& row) {
    char buf[160];
    switch (row.kind) {
        case EventKind::Delay:
            std::snprintf(buf, sizeof buf, "%u ms", row.value);
            return buf;
        case EventKind::Move:
            std::snprintf(buf, sizeof buf, "%s   X= %d, Y= %d", GetText("tc_adv_str27").c_str(),
                          MoveRowDx(row.value), MoveRowDy(row.value));
            return buf;
        case EventKind::Press:
        case EventKind::Release:
            break;
    }
    return GetKeyName(row.value);
}

const char* EventRowIcon(EventKind kind) {
    switch (kind) {
        case EventKind::Release:
            return "mac_u.png";
        case EventKind::Press:
            return "mac_d.png";
        case EventKind::Delay:
            return "mac_t.png";
        case EventKind::Move:
            return "mac_m.png";
    }
    return "";
}

std::optional<uint32_t> KeyFromCapture(const CapturedCombo& combo) {
    if (combo.keys[0] != 0) return combo.keys[0];
    if (combo.modifiers & kHidCtrl) return kVkLControl;
    if (combo.modifiers & kHidShift) return kVkLShift;
    if (combo.modifiers & kHidAlt) return kVkLMenu;
    if (combo.modifiers & kHidWin) return kVkLWin;
    return std::nullopt;
}

RecordResult RecordKeyMessage(MacroEditor& editor, uint32_t msg, uint32_t virtualKey,
                              intptr_t lParam, uint32_t tick) {
    if (!IsKeyboardMessage(msg)) return RecordResult::Ignored;
    return editor.RecordKeyEvent(TranslateKeyMessage(virtualKey, lParam), IsKeyReleaseMessage(msg),
                                 tick);
}

std::vector<InsertMenuItem> InsertMenuItems(uint32_t buttonMask) {
    std::vector<InsertMenuItem> items = {
        {"tc_macro_msg14", 0xF70080}, {"tc_macro_msg15", 0xF80080}, {"tc_macro_msg16", 0xF90080}};
    const InsertMenuItem mouse[] = {
        {"tc_click", 0xF00080}, {"tc_menu", 0xF10080}, {"tc_middle", 0xF20080}};
    for (int bit = 0; bit < 3; ++bit)
        if (buttonMask & (1u << bit)) items.push_back(mouse[bit]);
    return items;
}

InsertRequest DecodeInsertChoice(uint32_t value) {
    const auto code = static_cast<uint8_t>(value >> 16);
    switch (code) {
        case 0xF7:
            return {InsertKind::KeyPress, 0};
        case 0xF8:
            return {InsertKind::KeyRelease, 0};
        case 0xF9:
            return {InsertKind::Delay, 0};
        case 0xF0:
        case 0xF1:
        case 0xF2:
            return {InsertKind::Click, code};
        default:
            break;
    }
    return {};
}

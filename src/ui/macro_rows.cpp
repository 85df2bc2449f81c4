#include "ui/macro_rows.h"

#include <cstdio>

#include "app/language_texts.h"
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
    if (combo.modifiers & kModCtrl) return kVkLControl;
    if (combo.modifiers & kModShift) return kVkLShift;
    if (combo.modifiers & kModAlt) return kVkLMenu;
    if (combo.modifiers & kModWin) return kVkLWin;
    return std::nullopt;
}

RecordResult RecordKeyMessage(MacroEditor& editor, uint32_t msg, uint32_t virtualKey,
                              intptr_t lParam, uint32_t tick) {
    if (!IsKeyboardMessage(msg)) return RecordResult::Ignored;
    return editor.RecordKeyEvent(TranslateKeyMessage(virtualKey, lParam), IsKeyReleaseMessage(msg),
                                 tick);
}

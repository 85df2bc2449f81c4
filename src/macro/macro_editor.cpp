#include "macro/macro_editor.h"

#include <algorithm>
#include <cstdio>

#include "macro/macro_options.h"
#include "base/log.h"

namespace {

bool IsEventRow(const EventRow& r) {
    return r.kind != EventKind::Delay;
}

uint32_t ClampDelay(uint32_t ms, int32_t floor) {
    const uint32_t lo = floor > 0 ? static_cast<uint32_t>(floor) : 1u;
    return std::clamp<uint32_t>(ms, std::min(lo, kMaxMacroDelay), kMaxMacroDelay);
}

// The decimal value of a count box; none when it holds anything but digits. Long inputs
// saturate instead of wrapping round to a small count.
std::optional<uint32_t> ParseCount(const std::string& text) {
    if (text.empty()) return std::nullopt;
    uint32_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = std::min<uint32_t>(v * 10 + static_cast<uint32_t>(c - '0'), 100000u);
    }
    return v;
}

}  // namespace

int MoveRowDx(uint32_t value) {
    return static_cast<int8_t>(value & 0xFF);
}
int MoveRowDy(uint32_t value) {
    return static_cast<int8_t>((value >> 8) & 0xFF);
}
uint32_t MoveRowValue(int dx, int dy) {
    return (static_cast<uint32_t>(dx) & 0xFF) | ((static_cast<uint32_t>(dy) & 0xFF) << 8);
}

const char* RefusalTextKey(EditorRefusal r) {
    switch (r) {
        case EditorRefusal::NothingSelected:
            return "tc_macro_msg1";
        case EditorRefusal::Full:
            return "tc_macro_msg18";
        case EditorRefusal::Recording:
            return "tc_macro_msg17";
        case EditorRefusal::None:
            break;
    }
    return "";
}

void MergeEventRows(std::vector<EventRow>& rows) {
    // Releases and pauses before the first press play nothing useful. Moves are kept: a macro
    // from the mouse or a file may start with one, and dropping it would lose it silently.
    const auto first = std::find_if(rows.begin(), rows.end(), [](const EventRow& r) {
        return r.kind == EventKind::Press || r.kind == EventKind::Move;
    });
    rows.erase(rows.begin(), first);

    // A run of any length collapses: the merged row is compared with its new successor
    // again, so three pauses become one and never leave two adjacent delays, of which the
    // record could keep only the last.
    size_t i = 0;
    while (i + 1 < rows.size()) {
        EventRow& a = rows[i];
        const EventRow& b = rows[i + 1];
        if (a.kind != b.kind) {
            ++i;
        } else if (a.kind == EventKind::Delay) {
            a.value =
                std::min<uint32_t>(a.value + std::min(b.value, kMaxMacroDelay), kMaxMacroDelay);
            rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        } else if (a.value == b.value) {
            rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        } else {
            ++i;
        }
    }
}

bool PackEventRows(const std::vector<EventRow>& rows, StMacro& record) {
    for (MacroEvent& e : record.events) e = MacroEvent{};
    int written = 0;
    bool allKeys = true;
    for (const EventRow& r : rows) {
        if (r.kind == EventKind::Delay) {
            if (written > 0) record.events[written - 1].delay = r.value;
            continue;
        }
        if (written >= MAX_MACRO_EVENTS) break;  // more would not show again or fit the mouse
        MacroEvent& e = record.events[written++];
        if (r.kind == EventKind::Move) {
            e.code = static_cast<int16_t>(static_cast<uint16_t>(r.value));
            e.flags = kMacroEventMove;
            continue;
        }
        e.code = static_cast<int16_t>(r.value & 0xFF);
        e.flags = r.kind == EventKind::Press ? kMacroEventDown : 0;
        if (e.code == 0) {
            LogPrintf("Capture keycode=0");
            allKeys = false;
        }
    }
    return allKeys;
}

std::vector<EventRow> UnpackEventRows(const StMacro& record) {
    std::vector<EventRow> rows;
    for (int i = 0; i < MAX_MACRO_EVENTS; ++i) {
        const MacroEvent e = record.events[i];
        const int16_t code = e.code;
        const uint32_t delay = e.delay;
        const uint16_t flags = e.flags;
        if (code == 0 && delay == 0) break;
        if (flags & kMacroEventMove) {
            rows.push_back({EventKind::Move, static_cast<uint16_t>(code)});
        } else if (code != 0) {
            rows.push_back({(flags & kMacroEventDown) ? EventKind::Press : EventKind::Release,
                            static_cast<uint32_t>(code & 0xFF)});
        }
        if (delay != 0) rows.push_back({EventKind::Delay, delay});
    }
    return rows;
}

QzmImport ImportQzmBytes(const uint8_t* data, size_t size, uint32_t buttonMask) {
    QzmImport out;
    if (!data || size != kStMacroSize) return out;
    uint8_t plain[kStMacroSize];
    for (size_t i = 0; i < kStMacroSize; ++i) plain[i] = RotateLeft2(data[i]);
    out.record = StMacroFromBytes(plain);
    if (out.record.dwMagicNumber != MACRO_MAGIC) {
        out.status = QzmImportStatus::NotMacro;
        return out;
    }
    for (const MacroEvent e : out.record.events) {
        const int16_t code = e.code;
        const uint16_t flags = e.flags;
        if (code == 0) break;
        // A move's code is a distance, not a button.
        if (flags & kMacroEventMove) continue;
        const uint32_t key = static_cast<uint32_t>(code) & 0xFF;
        if (key >= MOUSE_VK_LEFT && key <= MOUSE_VK_WHEEL_DOWN &&
            !(buttonMask & (1u << (key - MOUSE_VK_LEFT)))) {
            out.status = QzmImportStatus::UnsupportedKey;
            return out;
        }
    }
    out.status = QzmImportStatus::Ok;
    return out;
}

std::string QzmImportMessage(QzmImportStatus status, uint32_t err) {
    char buf[64];
    switch (status) {
        case QzmImportStatus::ReadFailed:
            std::snprintf(buf, sizeof buf, "Read macro file failed. error=0x%x", err);
            return buf;
        case QzmImportStatus::NotMacro:
            return "This is not a valid macro file.";
        case QzmImportStatus::UnsupportedKey:
            return "This macro contains unsupported key.";
        case QzmImportStatus::Ok:
            break;
    }
    return {};
}

// ---------------------------------------------------------------------------------------

void MacroEditor::Display(const StMacro& record) {
    m_rows = UnpackEventRows(record);
    m_selected.reset();
    m_hasMacro = true;
    m_changes = 0;
    m_countText.clear();
    const uint32_t mode = record.LoopMode;
    if (mode == kPlayUntilPressed || mode == kPlayWhileHeld) {
        m_playMode = mode;
        m_countVisible = false;
    } else if (mode == kPlayCount) {
        m_playMode = mode;
        m_countText = std::to_string(record.repeatCount);
        m_countVisible = true;
    }
}

void MacroEditor::Clear() {
    m_rows.clear();
    m_selected.reset();
    m_hasMacro = false;
    m_changes = 0;
}

int MacroEditor::EventCount() const {
    return static_cast<int>(std::count_if(m_rows.begin(), m_rows.end(), IsEventRow));
}

void MacroEditor::Select(std::optional<size_t> row) {
    m_selected = (row && *row < m_rows.size()) ? row : std::nullopt;
}

EditorRefusal MacroEditor::ChoosePlayMode(uint32_t mode) {
    if (m_recording) return EditorRefusal::Recording;
    if (mode > kPlayWhileHeld) return EditorRefusal::None;
    m_playMode = mode;
    m_countVisible = mode == kPlayCount;
    m_countText = mode == kPlayCount ? "1" : "";
    Mark(kMacroOptionsChanged);
    return EditorRefusal::None;
}

std::optional<std::string> MacroEditor::OnCountEdited(const std::string& text) {
    const std::optional<uint32_t> v = ParseCount(text);
    std::optional<std::string> replaced;
    if (v && *v > kMaxRepeatCount) replaced = std::to_string(kMaxRepeatCount);
    if (v && *v == 0) replaced = "1";
    m_countText = replaced.value_or(text);
    Mark(kMacroOptionsChanged);
    return replaced;
}

EditorRefusal MacroEditor::StartRecording() {
    if (!m_hasMacro) return EditorRefusal::NothingSelected;
    if (m_recording) return EditorRefusal::None;
    m_recording = true;
    m_rows.clear();
    m_selected.reset();
    m_hasLast = false;
    return EditorRefusal::None;
}

void MacroEditor::StopRecording() {
    if (!m_recording) return;
    m_recording = false;
    Mark(kMacroChanged);
}

RecordResult MacroEditor::RecordKeyEvent(uint32_t code, bool release, uint32_t tick) {
    if (!m_recording) return RecordResult::Ignored;
    // Auto-repeat sends the same press again and again; only the first one counts.
    if (m_hasLast && code == m_lastCode && release == m_lastRelease) return RecordResult::Ignored;
    if (EventCount() >= MAX_MACRO_EVENTS) return RecordResult::Full;
    if (autoDelay && !m_rows.empty()) {
        const uint32_t delay = tick - m_lastTick;  // the tick counter may wrap
        if (delay > 0)
            m_rows.push_back({EventKind::Delay, ClampDelay(delay, TheMacroOptions().MinUIDelay)});
    }
    m_rows.push_back({release ? EventKind::Release : EventKind::Press, code});
    m_hasLast = true;
    m_lastCode = code;
    m_lastRelease = release;
    m_lastTick = tick;
    return RecordResult::Added;
}

EditorRefusal MacroEditor::CheckRoom(int rows) const {
    if (EventCount() + rows > MAX_MACRO_EVENTS) return EditorRefusal::Full;
    if (!m_hasMacro) return EditorRefusal::NothingSelected;
    return EditorRefusal::None;
}

size_t MacroEditor::InsertPosition(bool insertBefore) const {
    if (!m_selected) return m_rows.size();
    return insertBefore ? *m_selected : *m_selected + 1;
}

void MacroEditor::InsertRows(std::vector<EventRow> rows, bool insertBefore) {
    const size_t at = InsertPosition(insertBefore);
    m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(at), rows.begin(), rows.end());
    // The selection stays on the row it was on.
    if (m_selected && insertBefore) *m_selected += rows.size();
    Mark(kMacroEventsChanged);
}

EditorRefusal MacroEditor::InsertKey(bool press, uint32_t code, bool insertBefore) {
    if (const EditorRefusal r = CheckRoom(1); r != EditorRefusal::None) return r;
    const EventRow key{press ? EventKind::Press : EventKind::Release, code};
    // Next to an existing row the new key gets a pause that separates it from that row.
    if (m_selected)
        InsertRows({{EventKind::Delay, 50}, key}, insertBefore);
    else
        InsertRows({key}, insertBefore);
    return EditorRefusal::None;
}

EditorRefusal MacroEditor::InsertDelay(uint32_t ms, bool insertBefore) {
    if (!m_hasMacro) return EditorRefusal::NothingSelected;
    InsertRows({{EventKind::Delay, ClampDelay(ms, TheMacroOptions().MinDelay)}}, insertBefore);
    return EditorRefusal::None;
}

EditorRefusal MacroEditor::InsertClick(uint8_t button, bool insertBefore) {
    // A click is two events: both must fit, or the second would be cut off when saved.
    if (const EditorRefusal r = CheckRoom(2); r != EditorRefusal::None) return r;
    InsertRows({{EventKind::Press, button}, {EventKind::Release, button}}, insertBefore);
    return EditorRefusal::None;
}

EditorRefusal MacroEditor::EditDelay(uint32_t ms) {
    if (!m_selected || m_rows[*m_selected].kind != EventKind::Delay)
        return EditorRefusal::NothingSelected;
    m_rows[*m_selected].value = ClampDelay(ms, TheMacroOptions().MinDelay);
    Mark(kMacroEventsChanged);
    return EditorRefusal::None;
}

EditorRefusal MacroEditor::EditMove(int dx, int dy) {
    if (!m_selected || m_rows[*m_selected].kind != EventKind::Move)
        return EditorRefusal::NothingSelected;
    m_rows[*m_selected].value = MoveRowValue(dx, dy);
    Mark(kMacroEventsChanged);
    return EditorRefusal::None;
}

EditorRefusal MacroEditor::EditKey(uint32_t code) {
    if (!m_selected) return EditorRefusal::NothingSelected;
    EventRow& r = m_rows[*m_selected];
    if (r.kind != EventKind::Press && r.kind != EventKind::Release)
        return EditorRefusal::NothingSelected;
    r.value = code;
    Mark(kMacroEventsChanged);
    return EditorRefusal::None;
}

EditorRefusal MacroEditor::DeleteSelected() {
    if (m_recording) return EditorRefusal::Recording;
    if (!m_selected) return EditorRefusal::NothingSelected;
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(*m_selected));
    m_selected.reset();
    Mark(kMacroEventsChanged);
    return EditorRefusal::None;
}

bool MacroEditor::Save(StMacro& record) {
    const uint32_t changes = record.flags | m_changes;
    bool ok = true;
    if (changes & kMacroOptionsChanged) {
        record.autoDelay = autoDelay ? 1 : 0;
        record.LoopMode = m_playMode;
        if (m_playMode == kPlayCount) {
            const uint32_t n = ParseCount(m_countText).value_or(1);
            record.repeatCount = static_cast<uint16_t>(std::clamp<uint32_t>(n, 1, kMaxRepeatCount));
        }
    }
    if (changes & kMacroEventsChanged) {
        MergeEventRows(m_rows);
        m_selected.reset();
        ok = PackEventRows(m_rows, record);
    }
    record.flags |= m_changes;
    m_changes = 0;
    return ok;
}

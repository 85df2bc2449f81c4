// The macro page's editor and recorder without a window: the event rows of the selected macro,
// recording keys into them, inserting, editing and deleting rows, the play mode and repeat
// count, and turning the rows back into the record when the user saves. The page shows the
// rows and asks this model what every command does.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "macro/st_macro.h"

enum class EventKind : uint8_t { Release = 0, Press = 1, Delay = 2, Move = 3 };

struct EventRow {
    EventKind kind = EventKind::Press;
    uint32_t value = 0;  // key or mouse code; milliseconds; dx low byte, dy high byte
    bool operator==(const EventRow&) const = default;
};

constexpr uint32_t kMaxMacroDelay = 65535;
constexpr int kMaxRepeatCount = 250;

// The move a move row stands for.
int MoveRowDx(uint32_t value);
int MoveRowDy(uint32_t value);
uint32_t MoveRowValue(int dx, int dy);

// Why a command did nothing; the page shows the text of the key.
enum class EditorRefusal { None, NothingSelected, Full, Recording };
// "tc_macro_msg1", "tc_macro_msg18", "tc_macro_msg17"; empty for None.
const char* RefusalTextKey(EditorRefusal r);

// Play modes as stored in the record.
// (the radios "Repeat count", "Repeat until pressed again", "Repeat while held").
enum MacroPlayMode : uint32_t { kPlayCount = 0, kPlayUntilPressed = 1, kPlayWhileHeld = 2 };

// What the recorder did with a key event.
enum class RecordResult { Added, Ignored, Full };

// Leading releases and delays go (a macro starts with a press or a move); runs of delays are
// summed (capped at the longest delay a macro holds) and runs of equal events keep one.
void MergeEventRows(std::vector<EventRow>& rows);
// Writes the rows into the record's event slots; a delay row becomes the delay of the event
// before it. Returns false when an event with key code 0 was stored (logged).
bool PackEventRows(const std::vector<EventRow>& rows, StMacro& record);
// The rows a record shows: up to 70 events, until an event with code 0 and no delay.
std::vector<EventRow> UnpackEventRows(const StMacro& record);

// A .qzm file read for import.
enum class QzmImportStatus { Ok, ReadFailed, NotMacro, UnsupportedKey };
struct QzmImport {
    QzmImportStatus status = QzmImportStatus::ReadFailed;
    StMacro record{};
};
// `data` holds what was read from the file (rotated); anything but 834 bytes is a failed read.
// Mouse codes outside `buttonMask` (bits 0..6 for 0xF0..0xF6) are refused.
QzmImport ImportQzmBytes(const uint8_t* data, size_t size,
                         uint32_t buttonMask = kSupportedMouseButtonMask);
// The message of a failed import; err is the system error of a failed read.
std::string QzmImportMessage(QzmImportStatus status, uint32_t err);

class MacroEditor {
  public:
    // Rows, play mode and count of a record; the change marks start clear.
    void Display(const StMacro& record);
    void Clear();
    bool HasMacro() const { return m_hasMacro; }

    const std::vector<EventRow>& Rows() const { return m_rows; }
    // Rows of keys, buttons and moves: the ones the 70-event limit counts.
    int EventCount() const;
    std::optional<size_t> Selected() const { return m_selected; }
    void Select(std::optional<size_t> row);

    // Play mode and repeat count.
    uint32_t PlayMode() const { return m_playMode; }
    const std::string& CountText() const { return m_countText; }
    bool CountVisible() const { return m_countVisible && !m_recording; }
    EditorRefusal ChoosePlayMode(uint32_t mode);
    // After every change of the count box: the text the box must show instead, if any.
    std::optional<std::string> OnCountEdited(const std::string& text);

    bool autoDelay = true;  // the page's check box; not taken from the record shown

    // Recording. Start needs a macro; while recording every other command is refused.
    bool Recording() const { return m_recording; }
    EditorRefusal StartRecording();
    void StopRecording();
    RecordResult RecordKeyEvent(uint32_t code, bool release, uint32_t tick);
    // The page switch or command the recorder blocks; None when idle.
    EditorRefusal RefuseWhileRecording() const {
        return m_recording ? EditorRefusal::Recording : EditorRefusal::None;
    }

    // Inserting at the selected row (before it with insertBefore, after it otherwise) or at
    // the end without a selection.
    EditorRefusal InsertKey(bool press, uint32_t code, bool insertBefore);
    EditorRefusal InsertDelay(uint32_t ms, bool insertBefore);
    EditorRefusal InsertClick(uint8_t button, bool insertBefore);  // 0xF0, 0xF1, 0xF2

    // Editing or deleting the selected row.
    EditorRefusal EditDelay(uint32_t ms);
    EditorRefusal EditMove(int dx, int dy);
    EditorRefusal EditKey(uint32_t code);
    EditorRefusal DeleteSelected();

    // Change marks (the record's flag bits) and whether the Save button shows.
    uint32_t Changes() const { return m_changes; }
    bool SaveVisible() const { return m_changes != 0; }
    // Puts the edits into the record (options and/or events as marked there or here) and
    // leaves the change bits set for the file write to clear. false when a key code 0 was
    // stored.
    bool Save(StMacro& record);
    // A save whose file could not be written: the marks it took come back, and with them the
    // Save button.
    void SaveFailed(uint32_t changes) { m_changes |= changes; }

  private:
    EditorRefusal CheckRoom(int rows) const;
    size_t InsertPosition(bool insertBefore) const;
    void InsertRows(std::vector<EventRow> rows, bool insertBefore);
    void Mark(uint32_t bits) { m_changes |= bits; }

    std::vector<EventRow> m_rows;
    std::optional<size_t> m_selected;
    bool m_hasMacro = false;
    uint32_t m_playMode = kPlayCount;
    std::string m_countText;
    bool m_countVisible = false;
    uint32_t m_changes = 0;

    bool m_recording = false;
    bool m_hasLast = false;
    uint32_t m_lastCode = 0;
    bool m_lastRelease = false;
    uint32_t m_lastTick = 0;
};

#include "macro/macro_editor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/gvar.h"
#include "base/language_texts.h"
#include "macro_test_log.h"
#include "profile/orphan_macros.h"
#include "profile/profile_file.h"
#include "ui/key_capture.h"
#include "ui/macro_page_menus.h"
#include "ui/macro_rows.h"

// Found by the test framework next to the row type.
void PrintTo(const EventRow& r, std::ostream* os);
void PrintTo(const EventRow& r, std::ostream* os) {
    static const char* kinds[] = {"up", "down", "delay", "move"};
    *os << kinds[static_cast<int>(r.kind)] << "(0x" << std::hex << r.value << ")";
}

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

constexpr uint32_t kA = 0x41, kB = 0x42;

EventRow Press(uint32_t v) {
    return {EventKind::Press, v};
}
EventRow Release(uint32_t v) {
    return {EventKind::Release, v};
}
EventRow Delay(uint32_t v) {
    return {EventKind::Delay, v};
}
EventRow Move(int dx, int dy) {
    return {EventKind::Move, MoveRowValue(dx, dy)};
}

struct Ev {
    int16_t code;
    uint16_t flags;
    uint32_t delay;
    bool operator==(const Ev&) const = default;
};
void PrintTo(const Ev& e, std::ostream* os) {
    *os << "{0x" << std::hex << e.code << ", " << e.flags << ", " << std::dec << e.delay << "}";
}
// The record's events up to the first empty slot, and the empty slot itself.
std::vector<Ev> Events(const StMacro& m) {
    std::vector<Ev> out;
    for (const MacroEvent e : m.events) {
        out.push_back({e.code, e.flags, e.delay});
        if (e.code == 0 && e.delay == 0) break;
    }
    return out;
}

class MacroEditorTest : public ::testing::Test {
  protected:
    MacroEditorTest() : savedUi(gVar.MinUIDelay), savedMin(gVar.MinDelay) {
        gVar.MinUIDelay = 10;
        gVar.MinDelay = 10;
        record.dwMagicNumber = MACRO_MAGIC;
        record.id = 7;
        record.repeatCount = 1;
        editor.Display(record);
    }
    ~MacroEditorTest() override {
        gVar.MinUIDelay = savedUi;
        gVar.MinDelay = savedMin;
    }
    // Rows through the editor's own insert path, appended at the end.
    void Append(std::initializer_list<EventRow> rows) {
        editor.Select(std::nullopt);
        for (const EventRow& r : rows) {
            if (r.kind == EventKind::Delay)
                editor.InsertDelay(r.value, true);
            else
                editor.InsertKey(r.kind == EventKind::Press, r.value, true);
        }
    }

    int32_t savedUi, savedMin;
    StMacro record{};
    MacroEditor editor;
};

TEST_F(MacroEditorTest, AutoRepeatIsRecordedOnce) {
    for (bool autoDelay : {true, false}) {
        editor.autoDelay = autoDelay;
        ASSERT_EQ(editor.StartRecording(), EditorRefusal::None);
        for (uint32_t tick : {1000u, 1030u, 1060u})
            RecordKeyMessage(editor, kWmKeyDown, kA, 0x001E0001, tick);
        RecordKeyMessage(editor, kWmKeyUp, kA, static_cast<intptr_t>(0xC01E0001), 1100);
        editor.StopRecording();
        if (autoDelay)
            EXPECT_THAT(editor.Rows(), ElementsAre(Press(kA), Delay(100), Release(kA)));
        else
            EXPECT_THAT(editor.Rows(), ElementsAre(Press(kA), Release(kA)));
    }
    EXPECT_EQ(editor.Changes(), kMacroChanged);
}

TEST_F(MacroEditorTest, RecordingTellsRightHandModifiersApart) {
    editor.autoDelay = false;
    editor.StartRecording();
    RecordKeyMessage(editor, kWmKeyDown, kVkControl, 0x011D0001, 0);  // extended bit: right
    RecordKeyMessage(editor, kWmSysKeyDown, kVkMenu, 0x00380001, 5);
    RecordKeyMessage(editor, 0x0200, kA, 0, 9);  // not a key message
    EXPECT_THAT(editor.Rows(), ElementsAre(Press(kVkRControl), Press(kVkMenu)));
}

TEST_F(MacroEditorTest, AutoDelayIsClamped) {
    struct Case {
        uint32_t gap, delay;
    };
    for (const Case c : {Case{3, 10}, Case{70000, 65535}, Case{250, 250}}) {
        editor.StartRecording();
        editor.RecordKeyEvent(kA, false, 4000);
        editor.RecordKeyEvent(kB, false, 4000 + c.gap);
        editor.StopRecording();
        EXPECT_THAT(editor.Rows(), ElementsAre(Press(kA), Delay(c.delay), Press(kB))) << c.gap;
    }
    // Two events in the same millisecond get no pause between them.
    editor.StartRecording();
    editor.RecordKeyEvent(kA, false, 9);
    editor.RecordKeyEvent(kA, true, 9);
    EXPECT_THAT(editor.Rows(), ElementsAre(Press(kA), Release(kA)));
}

TEST_F(MacroEditorTest, TheSeventyFirstEventIsRefused) {
    editor.StartRecording();
    for (int i = 0; i < 70; ++i)
        ASSERT_EQ(editor.RecordKeyEvent(kA, i % 2 == 1, 100u * i), RecordResult::Added);
    EXPECT_EQ(editor.Rows().size(), 139u);  // delays between the 70 events do not count
    EXPECT_EQ(editor.RecordKeyEvent(kB, false, 9000), RecordResult::Full);
    EXPECT_EQ(editor.Rows().size(), 139u);
    editor.StopRecording();
    EXPECT_EQ(editor.InsertKey(true, kB, true), EditorRefusal::Full);
    EXPECT_STREQ(RefusalTextKey(EditorRefusal::Full), "tc_macro_msg18");
    EXPECT_EQ(editor.InsertDelay(20, true), EditorRefusal::None);

    // A click needs room for both of its events.
    editor.Select(editor.Rows().size() - 2);  // the last event, before the pause just added
    ASSERT_EQ(editor.DeleteSelected(), EditorRefusal::None);
    EXPECT_EQ(editor.EventCount(), 69);
    EXPECT_EQ(editor.InsertClick(MOUSE_VK_LEFT, true), EditorRefusal::Full);
    EXPECT_EQ(editor.InsertKey(true, kB, true), EditorRefusal::None);
}

TEST_F(MacroEditorTest, RecordingBlocksOtherCommands) {
    MacroEditor none;
    EXPECT_EQ(none.StartRecording(), EditorRefusal::NothingSelected);
    EXPECT_EQ(editor.RefuseWhileRecording(), EditorRefusal::None);
    editor.StartRecording();
    EXPECT_EQ(editor.RefuseWhileRecording(), EditorRefusal::Recording);
    EXPECT_STREQ(RefusalTextKey(editor.RefuseWhileRecording()), "tc_macro_msg17");
    EXPECT_EQ(editor.ChoosePlayMode(kPlayWhileHeld), EditorRefusal::Recording);
    EXPECT_FALSE(editor.CountVisible());
    editor.StopRecording();
    EXPECT_EQ(editor.RefuseWhileRecording(), EditorRefusal::None);
    EXPECT_TRUE(editor.CountVisible());
}

TEST(MacroRows, MergeNormalises) {
    struct Case {
        const char* what;
        std::vector<EventRow> in, out;
    };
    const Case cases[] = {
        {"leading release and pause, two pauses in a row",
         {Release(kA), Delay(50), Press(kA), Delay(20), Delay(30), Release(kA)},
         {Press(kA), Delay(50), Release(kA)}},
        {"equal presses", {Press(kA), Press(kA), Release(kA)}, {Press(kA), Release(kA)}},
        {"a run of three",
         {Press(kA), Delay(10), Delay(20), Delay(30), Press(kA), Press(kA), Press(kA)},
         {Press(kA), Delay(60), Press(kA)}},
        {"different keys stay", {Press(kA), Press(kB)}, {Press(kA), Press(kB)}},
        {"sums stop at the longest delay",
         {Press(kA), Delay(65000), Delay(1000)},
         {Press(kA), Delay(65535)}},
        {"a leading move stays", {Delay(5), Move(3, -4), Press(kA)}, {Move(3, -4), Press(kA)}},
        {"nothing to play", {Release(kA), Delay(5)}, {}},
    };
    for (const Case& c : cases) {
        std::vector<EventRow> rows = c.in;
        MergeEventRows(rows);
        EXPECT_THAT(rows, ElementsAreArray(c.out)) << c.what;
    }
}

TEST_F(MacroEditorTest, SaveWritesTheNormalisedEvents) {
    Append({Release(kA), Delay(50), Press(kA), Delay(20), Delay(30), Release(kA)});
    editor.Select(1);
    EXPECT_EQ(editor.EditDelay(3), EditorRefusal::None);  // typed below MinDelay: the floor
    EXPECT_EQ(editor.Rows()[1], Delay(10));
    editor.EditDelay(50);
    ASSERT_TRUE(editor.SaveVisible());
    record.events[5] = {0x44, 1, 9};  // left over from before: cleared
    ASSERT_TRUE(editor.Save(record));
    EXPECT_THAT(Events(record), ElementsAre(Ev{0x41, 1, 50}, Ev{0x41, 0, 0}, Ev{0, 0, 0}));
    EXPECT_EQ(+record.events[5].code, 0);
    EXPECT_EQ(record.flags, kMacroEventsChanged);
    EXPECT_FALSE(editor.SaveVisible());
}

TEST_F(MacroEditorTest, DisplayAndSaveKeepMovesAndMouseButtons) {
    record.events[0] = {static_cast<int16_t>(MoveRowValue(-3, 5)), kMacroEventMove, 7};
    record.events[1] = {MOUSE_VK_FORWARD, kMacroEventDown, 0};
    record.events[2] = {0, 0, 40};  // a bare pause is shown as a delay row
    record.events[3] = {MOUSE_VK_FORWARD, 0, 0};
    record.events[5] = {kB, kMacroEventDown, 1};  // after the end: not shown
    editor.Display(record);
    EXPECT_THAT(editor.Rows(), ElementsAre(Move(-3, 5), Delay(7), Press(MOUSE_VK_FORWARD),
                                           Delay(40), Release(MOUSE_VK_FORWARD)));
    EXPECT_EQ(EventRowText(editor.Rows()[0]), GetText("tc_adv_str27") + "   X= -3, Y= 5");
    EXPECT_EQ(EventRowText(editor.Rows()[1]), "7 ms");
    EXPECT_STREQ(EventRowIcon(EventKind::Move), "mac_m.png");

    editor.Select(0);
    editor.EditMove(-127, 127);
    StMacro out{};
    ASSERT_TRUE(editor.Save(out));
    EXPECT_THAT(Events(out), ElementsAre(Ev{static_cast<int16_t>(0x7F81), 2, 7}, Ev{0xF3, 1, 40},
                                         Ev{0xF3, 0, 0}, Ev{0, 0, 0}));
}

TEST_F(MacroEditorTest, KeyCodeZeroIsStoredAndLogged) {
    zvtest::MacroLogCapture log;
    Append({Press(kA), Press(0)});
    EXPECT_FALSE(editor.Save(record));
    EXPECT_TRUE(log.Has("Capture keycode=0"));
    EXPECT_THAT(Events(record), ElementsAre(Ev{0x41, 1, 0}, Ev{0, 1, 0}));
}

TEST_F(MacroEditorTest, RepeatCountAndPlayModes) {
    struct Case {
        const char* typed;
        std::optional<std::string> shown;
    };
    const Case cases[] = {{"300", "250"},
                          {"0", "1"},
                          {"12", std::nullopt},
                          {"99999999999", "250"},
                          {"", std::nullopt}};
    for (const Case& c : cases) EXPECT_EQ(editor.OnCountEdited(c.typed), c.shown) << c.typed;
    EXPECT_EQ(editor.Changes(), kMacroOptionsChanged);

    editor.OnCountEdited("300");
    editor.autoDelay = false;
    record.autoDelay = 1;
    editor.Save(record);
    EXPECT_EQ(record.repeatCount, 250);
    EXPECT_EQ(record.LoopMode, kPlayCount);
    EXPECT_EQ(record.autoDelay, 0u);

    editor.ChoosePlayMode(3);  // no such mode: nothing changes
    EXPECT_TRUE(editor.CountVisible());
    editor.ChoosePlayMode(kPlayWhileHeld);
    EXPECT_FALSE(editor.CountVisible());
    editor.Save(record);
    EXPECT_EQ(record.LoopMode, 2u);      // "Repeat while held" is stored as 2
    EXPECT_EQ(record.repeatCount, 250);  // kept for when the mode comes back

    editor.ChoosePlayMode(kPlayCount);
    EXPECT_EQ(editor.CountText(), "1");
    editor.OnCountEdited("");  // an empty box saves as 1
    editor.Save(record);
    EXPECT_EQ(record.repeatCount, 1);
}

TEST_F(MacroEditorTest, InsertingAClick) {
    EXPECT_EQ(editor.InsertClick(MOUSE_VK_LEFT, true), EditorRefusal::None);
    EXPECT_THAT(editor.Rows(), ElementsAre(Press(0xF0), Release(0xF0)));

    struct Case {
        bool before;
        std::vector<EventRow> rows;
    };
    for (const Case& c : {Case{true, {Press(kA), Press(0xF1), Release(0xF1), Release(kA)}},
                          Case{false, {Press(kA), Release(kA), Press(0xF1), Release(0xF1)}}}) {
        editor.Display(record);
        Append({Press(kA), Release(kA)});
        editor.Select(1);
        editor.InsertClick(MOUSE_VK_RIGHT, c.before);
        EXPECT_THAT(editor.Rows(), ElementsAreArray(c.rows)) << c.before;
        EXPECT_EQ(editor.Rows()[*editor.Selected()], Release(kA)) << c.before;
    }
    MacroEditor none;
    EXPECT_EQ(none.InsertClick(MOUSE_VK_LEFT, true), EditorRefusal::NothingSelected);
}

TEST_F(MacroEditorTest, InsertingAKeyNextToARowAddsAPause) {
    for (bool before : {true, false}) {
        editor.Display(record);
        Append({Press(kA), Release(kA)});
        editor.Select(0);
        editor.InsertKey(false, kB, before);
        if (before)
            EXPECT_THAT(editor.Rows(), ElementsAre(Delay(50), Release(kB), Press(kA), Release(kA)));
        else
            EXPECT_THAT(editor.Rows(), ElementsAre(Press(kA), Delay(50), Release(kB), Release(kA)));
    }
}

TEST(MacroRows, KeyFromCapture) {
    EXPECT_EQ(KeyFromCapture(CapturedCombo{0x10, {kA, kB, 0}}), kA);
    EXPECT_EQ(KeyFromCapture(CapturedCombo{0x10 | 0x02, {}}), kVkLControl);
    EXPECT_EQ(KeyFromCapture(CapturedCombo{0x20 | 0x80, {}}), kVkLShift);
    EXPECT_EQ(KeyFromCapture(CapturedCombo{0x40, {}}), kVkLMenu);
    EXPECT_EQ(KeyFromCapture(CapturedCombo{0x80, {}}), kVkLWin);
    EXPECT_EQ(KeyFromCapture(CapturedCombo{}), std::nullopt);
}

TEST(MacroRows, InsertMenu) {
    std::vector<uint32_t> values;
    for (const InsertMenuItem& i : InsertMenuItems(0b101)) values.push_back(i.value);
    EXPECT_THAT(values, ElementsAre(0xF70080u, 0xF80080u, 0xF90080u, 0xF00080u, 0xF20080u));
    EXPECT_STREQ(InsertMenuItems(kSupportedMouseButtonMask)[4].textKey, "tc_menu");

    EXPECT_EQ(DecodeInsertChoice(0xF80080).kind, InsertKind::KeyRelease);
    EXPECT_EQ(DecodeInsertChoice(0xF90080).kind, InsertKind::Delay);
    const InsertRequest middle = DecodeInsertChoice(0xF20080);
    EXPECT_EQ(middle.kind, InsertKind::Click);
    EXPECT_EQ(middle.button, MOUSE_VK_MIDDLE);
    EXPECT_EQ(DecodeInsertChoice(0xF30080).kind, InsertKind::None);
}

TEST(MacroRows, ContextMenus) {
    auto values = [](const std::vector<MacroMenuItem>& items) {
        std::vector<uint32_t> v;
        for (const MacroMenuItem& i : items) v.push_back(i.value);
        return v;
    };
    EXPECT_THAT(values(MacroTreeMenu(MacroTreeTarget::Nothing)), ElementsAre(1u, 16u));
    EXPECT_THAT(values(MacroTreeMenu(MacroTreeTarget::Folder)), ElementsAre(1u, 32u, 4u, 16u));
    EXPECT_THAT(values(MacroTreeMenu(MacroTreeTarget::Macro)), ElementsAre(8u, 32u, 4u));
    EXPECT_STREQ(MacroTreeMenu(MacroTreeTarget::Macro)[0].textKey, "tc_macro_msg4");
    EXPECT_THAT(values(EventListMenu(true)), ElementsAre(64u, 1024u));
    EXPECT_TRUE(EventListMenu(false).empty());
}

TEST(MacroRows, AssignedAnywhereInTheProfile) {
    auto profile = std::make_unique<ProfileFile>();
    profile->keys[2][5].dwFunID = 0x05000000;
    profile->keys[2][5].dwMacroID = 77;
    profile->keys[0][1].dwFunID = 0x02000000;  // not a macro button, same number
    profile->keys[0][1].dwMacroID = 78;
    EXPECT_TRUE(MacroIsAssigned(*profile, 77));
    EXPECT_FALSE(MacroIsAssigned(*profile, 78));
}

std::vector<uint8_t> QzmBytes(const StMacro& m) {
    uint8_t plain[kStMacroSize];
    StMacroToBytes(m, plain);
    std::vector<uint8_t> out(kStMacroSize);
    for (size_t i = 0; i < kStMacroSize; ++i) out[i] = RotateRight2(plain[i]);
    return out;
}

TEST(MacroImport, ChecksTheFile) {
    StMacro m{};
    m.dwMagicNumber = MACRO_MAGIC;
    m.id = 0x123456;
    m.events[0] = {static_cast<int16_t>(MoveRowValue(-11, 0)), kMacroEventMove, 0};  // code 0xF5
    m.events[1] = {MOUSE_VK_FORWARD, kMacroEventDown, 30};
    m.events[2] = {MOUSE_VK_FORWARD, 0, 0};

    std::vector<uint8_t> bytes = QzmBytes(m);
    QzmImport ok = ImportQzmBytes(bytes.data(), bytes.size());
    EXPECT_EQ(ok.status, QzmImportStatus::Ok);
    EXPECT_EQ(ok.record.id, 0x123456u);
    EXPECT_EQ(+ok.record.events[1].delay, 30u);

    StMacro wheel = m;
    wheel.events[2] = {MOUSE_VK_WHEEL_UP, kMacroEventDown, 0};
    bytes = QzmBytes(wheel);
    EXPECT_EQ(ImportQzmBytes(bytes.data(), bytes.size()).status, QzmImportStatus::UnsupportedKey);
    // A wheel event after the end of the events is not looked at.
    wheel.events[2] = {};
    wheel.events[3] = {MOUSE_VK_WHEEL_UP, kMacroEventDown, 0};
    bytes = QzmBytes(wheel);
    EXPECT_EQ(ImportQzmBytes(bytes.data(), bytes.size()).status, QzmImportStatus::Ok);

    StMacro other = m;
    other.dwMagicNumber = MACRO_MAGIC ^ 1;
    bytes = QzmBytes(other);
    EXPECT_EQ(ImportQzmBytes(bytes.data(), bytes.size()).status, QzmImportStatus::NotMacro);
    EXPECT_EQ(ImportQzmBytes(bytes.data(), 833).status, QzmImportStatus::ReadFailed);
    EXPECT_EQ(QzmImportMessage(QzmImportStatus::ReadFailed, 0x26),
              "Read macro file failed. error=0x26");
    EXPECT_EQ(QzmImportMessage(QzmImportStatus::UnsupportedKey, 0),
              "This macro contains unsupported key.");
}

}  // namespace

// The user's macros and saved files are never lost or overwritten behind their back: each
// macro keeps its own file, names collide the way the file system sees them, temporary files
// of a save never linger and every failed save is known.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/gvar.h"
#include "base/language_texts.h"
#include "macro/macro_device.h"
#include "macro/macro_file.h"
#include "macro/macro_library.h"
#include "macro/macro_list.h"
#include "platform/fs.h"
#include "support/temp_dir.h"
#include "ui/save_failure_text.h"

namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;
using Bytes = std::vector<uint8_t>;

StMacro Macro(const std::u16string& name, MacroId id, int16_t code = 0x41) {
    StMacro m = NewMacroRecord("", id);
    SetMacroName(m, name);
    m.events[0] = MacroEvent{code, kMacroEventDown, 10};
    m.events[1] = MacroEvent{code, 0, 20};
    return m;
}

Bytes FileBytes(const std::string& path) {
    Bytes b;
    platform::ReadFile(path, b);
    return b;
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<platform::DirEntry> entries;
    platform::ListDirectory(folder, entries);
    std::vector<std::string> out;
    for (const auto& e : entries) out.push_back(e.name);
    return out;
}

class DataSafety : public ::testing::Test {
  protected:
    void SetUp() override {
        gVar.szAppDataDir = dir.path();
        gVar.MacroDir = 0;
        platform::TakeSaveFailures();
    }
    void TearDown() override {
        gVar.szAppDataDir.clear();
        gVar.MacroDir = 0;
        platform::TakeSaveFailures();
    }
    std::string Root(const std::string& name = {}) const {
        return name.empty() ? MacroRootFolder() : platform::JoinPath(MacroRootFolder(), name);
    }
    // A macro file as the program writes it, at a path relative to the macro root.
    void PutMacro(const std::string& name, const StMacro& m) {
        uint8_t bytes[kStMacroSize];
        MacroFileBytes(m, bytes);
        ASSERT_TRUE(MyCreateFile(Root(name), bytes, sizeof bytes));
    }
    zvtest::TempDir dir;
    MacroList list;
};

// ---- temporary files and failed saves -----------------------------------------------------

TEST(TempFiles, NamesAreUnpredictableAndRecognisedAsLeftovers) {
    const std::string a = platform::MakeTempFileName("/d/mac.dct");
    const std::string b = platform::MakeTempFileName("/d/mac.dct");
    EXPECT_NE(a, b);
    struct Case {
        const char* name;
        bool temp;
    } cases[] = {
        {"x.qzm.tmp123_0", true},  // left by older versions
        {"PRO_101a.dct.tmp9_12", true},
        {"x.qzm", false},
        {"x.tmp", false},
        {"x.tmp_1", false},
        {"x.tmp12_", false},
        {"tmp1_2", false},
        // A macro whose name holds the mark is a macro, not a leftover of a save.
        {"a.zvtmp.qzm", false},
        {"a.zvtmpabcdef123456.qzm", false},
        {"a.qzm.zvtmpabcdef123456", true},
        {"a.qzm.zvtmpabcdef12345", false},
    };
    EXPECT_TRUE(platform::IsTempFileName(platform::FileNameOf(a)));
    for (const Case& c : cases) EXPECT_EQ(platform::IsTempFileName(c.name), c.temp) << c.name;
}

TEST_F(DataSafety, SavesLeaveNoTemporaryFileAndFailuresAreRemembered) {
    const std::string target = dir / "cache.dct";
    ASSERT_TRUE(platform::WriteFileAtomic(target, "abc", 3));
    EXPECT_THAT(Names(dir.path()), ElementsAre("cache.dct"));

    // A folder where the file must go: the save fails, and leaves nothing behind.
    ASSERT_TRUE(platform::MakeDirectory(dir / "blocked"));
    uint32_t err = 0;
    EXPECT_FALSE(platform::WriteFileAtomic(dir / "blocked", "abc", 3, &err));
    // The folder that is missing: the same.
    EXPECT_FALSE(platform::WriteFileAtomic(dir / "none/x.dct", "abc", 3));
    EXPECT_THAT(Names(dir.path()), ElementsAre("blocked", "cache.dct"));

    std::vector<platform::SaveFailure> failed = platform::TakeSaveFailures();
    ASSERT_EQ(failed.size(), 2u);
    EXPECT_EQ(failed[0].path, dir / "blocked");
    EXPECT_EQ(failed[0].err, err);
    EXPECT_EQ(failed[1].err, platform::kErrPathNotFound);
    EXPECT_TRUE(platform::TakeSaveFailures().empty());

    // A later save of the same path that succeeds takes the failure back.
    EXPECT_FALSE(platform::WriteFileAtomic(dir / "later/x.dct", "abc", 3));
    ASSERT_TRUE(platform::MakeDirectory(dir / "later"));
    EXPECT_TRUE(platform::WriteFileAtomic(dir / "later/x.dct", "abc", 3));
    EXPECT_TRUE(platform::TakeSaveFailures().empty());
}

// The window cannot wait for the end of its work to say what was not saved: it hears of each
// failure as it happens (from whichever thread saved) and shows every file with its reason.
TEST_F(DataSafety, AFailedSaveIsToldToTheWindowWithEachPathAndReason) {
    std::atomic<int> told{0};
    platform::SetSaveFailureListener([&] { ++told; });
    EXPECT_TRUE(platform::WriteFileAtomic(dir / "ok.dct", "abc", 3));
    EXPECT_EQ(told.load(), 0);
    ASSERT_TRUE(platform::MakeDirectory(dir / "blocked"));
    uint32_t blockedErr = 0;
    std::thread saver(
        [&] { EXPECT_FALSE(platform::WriteFileAtomic(dir / "blocked", "abc", 3, &blockedErr)); });
    saver.join();
    EXPECT_FALSE(platform::WriteFileAtomic(dir / "none/x.dct", "abc", 3));
    EXPECT_EQ(told.load(), 2);
    platform::SetSaveFailureListener(nullptr);
    EXPECT_FALSE(platform::WriteFileAtomic(dir / "none/y.dct", "abc", 3));
    EXPECT_EQ(told.load(), 2);

    // Without the language's sentence the message is in English; with it, in the language.
    dir.Write("empty.xml", "<root><config></config></root>");
    dir.Write("lang.xml",
              "<root><config><tc_save_failed>Nicht gespeichert:</tc_save_failed></config></root>");
    struct Restore {
        ~Restore() { LoadTexts(zvtest::SourceDir() + "/data/text.xml"); }
    } restore;
    ASSERT_TRUE(LoadTexts(dir / "empty.xml"));
    const std::vector<platform::SaveFailure> failed = platform::TakeSaveFailures();
    EXPECT_EQ(SaveFailureText(failed), "These files could not be saved:\n" + (dir / "blocked") +
                                           ": " + platform::ErrorText(blockedErr) + "\n" +
                                           (dir / "none/x.dct") + ": the folder does not exist\n" +
                                           (dir / "none/y.dct") + ": the folder does not exist");
    ASSERT_TRUE(LoadTexts(dir / "lang.xml"));
    EXPECT_EQ(SaveFailureText({failed[0]}),
              "Nicht gespeichert:\n" + (dir / "blocked") + ": " + platform::ErrorText(blockedErr));
    EXPECT_EQ(SaveFailureText({}), "");
}

TEST_F(DataSafety, StartUpRemovesLeftoverTemporaryFilesAndLoadsOnlyQzmFiles) {
    const StMacro a = Macro(u"a", 0x101), sub = Macro(u"sub", 0x102);
    PutMacro("a.qzm", a);
    PutMacro("Games/sub.qzm", sub);
    PutMacro("x.txt", Macro(u"x", 0x103));
    PutMacro("a.qzm.tmp123_0", Macro(u"a", 0x104));
    dir.Write("PRO_101a.dct.tmp7_0", "half");
    dir.Write(std::string("mac.dct") + platform::kTempFileMark + "abcdef123456", "half");

    ASSERT_TRUE(LoadMacroLibrary(list));
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.Snapshot()[0].id, 0x101u);
    EXPECT_EQ(list.FileOf(0x101), Root("a.qzm"));
    EXPECT_THAT(Names(Root()), ElementsAre("Games", "a.qzm", "x.txt"));
    EXPECT_THAT(Names(dir.path()), ElementsAre("Mac"));

    // With MacroDir 1 the sub-folders' macros are part of the library too.
    list.Clear();
    gVar.MacroDir = 1;
    ASSERT_TRUE(LoadMacroLibrary(list));
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.FileOf(0x102), platform::JoinPath(Root("Games"), "sub.qzm"));
}

TEST_F(DataSafety, ACopiedMacroFileTakesAnIdOfItsOwnAndKeepsIt) {
    // "Games/b.qzm" is a copy of "a.qzm" under another name: same id, other events.
    gVar.MacroDir = 1;
    PutMacro("a.qzm", Macro(u"a", 0x501, 0x41));
    PutMacro("Games/b.qzm", Macro(u"b", 0x501, 0x42));
    const std::string a = Root("a.qzm"), b = platform::JoinPath(Root("Games"), "b.qzm");
    const Bytes aBefore = FileBytes(a), bBefore = FileBytes(b);

    ASSERT_TRUE(LoadMacroLibrary(list));
    ASSERT_EQ(list.Count(), 2u);
    // The file read first keeps the id; the other takes a new one.
    const std::string kept = list.FileOf(0x501);
    ASSERT_TRUE(kept == a || kept == b) << kept;
    const std::string copy = kept == a ? b : a;
    const MacroId newId =
        list.Snapshot()[0].id == 0x501 ? list.Snapshot()[1].id : list.Snapshot()[0].id;
    EXPECT_NE(newId, 0x501u);
    EXPECT_EQ(list.FileOf(newId), copy);
    // Each id leads to its own events; the kept file is untouched.
    EXPECT_EQ(+list.FindMacroById(0x501)->events[0].code, kept == a ? 0x41 : 0x42);
    EXPECT_EQ(+list.FindMacroById(newId)->events[0].code, kept == a ? 0x42 : 0x41);
    EXPECT_EQ(FileBytes(kept), kept == a ? aBefore : bBefore);
    // The new id is in the copy's file, the rest of it as it was: a restart finds the same two.
    std::optional<StMacro> back = ReadMacroFile(copy);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->id, newId);
    back->id = 0x501;
    Bytes expected(kStMacroSize);
    MacroFileBytes(*back, expected.data());
    EXPECT_EQ(expected, kept == a ? bBefore : aBefore);
    MacroList again;
    ASSERT_TRUE(LoadMacroLibrary(again));
    EXPECT_EQ(again.FileOf(0x501), kept);
    EXPECT_EQ(again.FileOf(newId), copy);
}

TEST_F(DataSafety, MacrosThatDoNotFitTheMouseAreRefusedAndTheirFileKept) {
    StMacro tooMany = Macro(u"many", 0x201);
    for (int i = 0; i < 91; ++i) tooMany.events[i] = MacroEvent{0x41, 0, 5};
    StMacro longDelay = Macro(u"slow", 0x202);
    longDelay.events[0].delay = 0xFFFFFFFFu;
    StMacro fits = Macro(u"fits", 0x203);
    for (int i = 0; i < MAX_MACRO_EVENTS; ++i) fits.events[i] = MacroEvent{0x41, 0, 65535};
    PutMacro("many.qzm", tooMany);
    PutMacro("slow.qzm", longDelay);
    PutMacro("fits.qzm", fits);
    const Bytes before = FileBytes(Root("many.qzm"));

    ASSERT_TRUE(LoadMacroLibrary(list));
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.Snapshot()[0].id, 0x203u);
    EXPECT_EQ(FileBytes(Root("many.qzm")), before);
}

// ---- one file per macro -------------------------------------------------------------------

TEST_F(DataSafety, MacrosFromTheMouseWhoseNamesMakeOneFileNameGetFilesOfTheirOwn) {
    // Two nameless macros, two lone surrogates (both become U+FFFD), names differing in case.
    const StMacro macros[] = {Macro(u"", 0x301, 0x41),       Macro(u"", 0x302, 0x42),
                              Macro(u"\xD800", 0x303, 0x43), Macro(u"\xDC00", 0x304, 0x44),
                              Macro(u"def", 0x305, 0x45),    Macro(u"DEF", 0x306, 0x46)};
    for (const StMacro& m : macros) ASSERT_TRUE(Add_Macro(m, nullptr, list));
    EXPECT_EQ(Names(Root()).size(), 6u);

    // After a restart every one of them is back, each with its own events.
    MacroList again;
    ASSERT_TRUE(LoadMacroLibrary(again));
    ASSERT_EQ(again.Count(), 6u);
    for (const StMacro& m : macros) {
        std::optional<StMacro> back = again.FindMacroById(m.id);
        ASSERT_TRUE(back) << std::hex << m.id;
        EXPECT_EQ(+back->events[0].code, +m.events[0].code);
    }
}

TEST_F(DataSafety, MacrosFromOutsideNeverReplaceTheUsersMacros) {
    PutMacro("def.qzm", Macro(u"def", 0x401, 0x41));
    PutMacro("other.qzm", Macro(u"other", 0x402, 0x42));
    ASSERT_TRUE(LoadMacroLibrary(list));
    const Bytes def = FileBytes(Root("def.qzm")), other = FileBytes(Root("other.qzm"));

    struct Case {
        StMacro incoming;
        const char* name;  // what the library calls it afterwards
        bool newId;
    } cases[] = {
        {Macro(u"def", 0x501, 0x51), "def (2)", false},  // same name, new id
        {Macro(u"DEF", 0x502, 0x52), "DEF (3)", false},  // the same file name on Windows
        {Macro(u"fresh", 0x402, 0x53), "fresh", true},   // another macro's id
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<AddedMacro> added = AddOutsideMacro(c.incoming, list);
        ASSERT_TRUE(added);
        EXPECT_EQ(MacroNameUtf8(added->stored), c.name);
        EXPECT_EQ(added->newId, c.newId);
        EXPECT_NE(added->stored.id, c.newId ? 0x402u : 0u);
        EXPECT_FALSE(AddedMacroNote(MacroNameUtf8(c.incoming), *added).empty());
        std::optional<StMacro> onDisk = ReadMacroFile(added->file);
        ASSERT_TRUE(onDisk);
        EXPECT_EQ(onDisk->id, added->stored.id);
        EXPECT_EQ(+onDisk->events[0].code, +c.incoming.events[0].code);
    }
    EXPECT_EQ(FileBytes(Root("def.qzm")), def);
    EXPECT_EQ(FileBytes(Root("other.qzm")), other);
    EXPECT_EQ(+list.FindMacroById(0x402)->events[0].code, 0x42);
    EXPECT_EQ(list.Count(), 5u);
}

TEST_F(DataSafety, DeleteRemovesTheFileTheMacroCameFrom) {
    // "def" lives in other.qzm; a file def.qzm holds a different macro.
    PutMacro("other.qzm", Macro(u"def", 0x601));
    PutMacro("def.qzm", Macro(u"zzz", 0x602));
    ASSERT_TRUE(LoadMacroLibrary(list));
    std::string removed;
    ASSERT_TRUE(DeleteLibraryMacro(0x601, list, nullptr, &removed));
    EXPECT_EQ(removed, Root("other.qzm"));
    EXPECT_THAT(Names(Root()), ElementsAre("def.qzm"));
    EXPECT_FALSE(list.Contains(0x601));
    EXPECT_TRUE(list.Contains(0x602));
}

TEST_F(DataSafety, ReadingBackWhatTheMouseHoldsIsNoChange) {
    StMacro stored = Macro(u"m", 0x701);
    StMacro fromMouse = stored;
    fromMouse.events[1].delay = 0;  // the mouse keeps no delay after the last event
    EXPECT_TRUE(MacrosEqual(stored, fromMouse));
    fromMouse.events[0].delay = 11;
    EXPECT_FALSE(MacrosEqual(stored, fromMouse));

    // Only a change of contents counts as a change of the library, not its change bits.
    list.AddMacroToList(stored);
    const uint64_t g = list.Generation();
    list.Update(0x701, [](StMacro& m) { m.flags |= kMacroChanged; });
    list.Update(0x701, [](StMacro& m) { m.flags &= ~kMacroChanged; });
    EXPECT_EQ(list.Generation(), g);
    list.Update(0x701, [](StMacro& m) { m.repeatCount = 3; });
    EXPECT_NE(list.Generation(), g);
}

}  // namespace

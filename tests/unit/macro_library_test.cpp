#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "app/gvar.h"
#include "macro/macro_device.h"
#include "macro/macro_file.h"
#include "macro/macro_list.h"
#include "macro/macro_store.h"
#include "macro/macro_tree.h"
#include "profile/orphan_macros.h"
#include "macro/safe_file_name.h"
#include "macro_test_log.h"
#include "platform/fs.h"
#include "support/temp_dir.h"

namespace {

using Bytes = std::vector<uint8_t>;

StMacro Macro(const char* name, MacroId id, int16_t firstCode = 0x41) {
    StMacro m = NewMacroRecord(name, id);
    m.events[0] = MacroEvent{firstCode, kMacroEventDown, 10};
    m.events[1] = MacroEvent{firstCode, 0, 0};
    return m;
}

Bytes FileBytes(const std::string& path) {
    Bytes b;
    platform::ReadFile(path, b);
    return b;
}

class MacroLibraryTest : public ::testing::Test {
  protected:
    void SetUp() override { gVar.szAppDataDir = dir.path(); }
    void TearDown() override { gVar.szAppDataDir.clear(); }
    std::string Root(const std::string& name) const {
        return platform::JoinPath(MacroRootFolder(), name);
    }
    zvtest::TempDir dir;
    MacroList list;
};

TEST(MacroRecord, RotationOfFileBytes) {
    struct Case {
        uint8_t record, file;
    };
    for (Case c : {Case{0x04, 0x01}, Case{0x80, 0x20}, Case{0x01, 0x40}, Case{0x03, 0xC0},
                   Case{0xA0, 0x28}, Case{0x00, 0x00}, Case{0xFF, 0xFF}}) {
        EXPECT_EQ(RotateRight2(c.record), c.file) << std::hex << int(c.record);
        EXPECT_EQ(RotateLeft2(c.file), c.record) << std::hex << int(c.file);
    }
}

TEST(MacroRecord, FieldsSitAtTheirOffsetsLittleEndian) {
    StMacro m = NewMacroRecord("Ab", 0xABCDEF);
    m.flags = 0xC0000000;
    m.LoopMode = 2;
    m.repeatCount = 250;
    m.events[0] = MacroEvent{static_cast<int16_t>(0xFE02), kMacroEventMove, 0x01020304};
    uint8_t b[kStMacroSize];
    StMacroToBytes(m, b);
    EXPECT_EQ(Bytes(b, b + 24),
              (Bytes{0xA0, 0x99, 0xCB, 0xFA, 0xEF, 0xCD, 0xAB, 0x00, 0x00, 0x00, 0x00, 0xC0,
                     0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x41, 0x00, 0x62, 0x00}));
    EXPECT_EQ(Bytes(b + 104, b + 114),
              (Bytes{0xFA, 0x00, 0x02, 0xFE, 0x02, 0x00, 0x04, 0x03, 0x02, 0x01}));
    const StMacro back = StMacroFromBytes(b);
    EXPECT_EQ(std::memcmp(&back, &m, sizeof m), 0);
}

TEST(MacroRecord, NamesAreCutTo39AndComparedIgnoringCase) {
    StMacro m;
    SetMacroNameUtf8(m, std::string(50, 'x'));
    EXPECT_EQ(MacroNameUtf8(m), std::string(39, 'x'));
    EXPECT_EQ(+m.name[39], 0);
    // A record from outside without a terminating NUL still gives at most 39 characters.
    for (int i = 0; i < kMacroNameChars; ++i) m.name[i] = u'y';
    EXPECT_EQ(MacroName(m).size(), 39u);

    struct Case {
        const char* what;
        void (*change)(StMacro&);
        bool equal;
    };
    const Case cases[] = {
        {"same", [](StMacro&) {}, true},
        {"name in other case", [](StMacro& b) { SetMacroNameUtf8(b, "JUMP ÄÖ"); }, true},
        {"play options differ",
         [](StMacro& b) {
             b.LoopMode = 1;
             b.repeatCount = 9;
             b.autoDelay = 0;
         },
         true},
        {"other name", [](StMacro& b) { SetMacroNameUtf8(b, "jump2"); }, false},
        {"a delay differs", [](StMacro& b) { b.events[0].delay = 11; }, false},
        {"press becomes release", [](StMacro& b) { b.events[0].flags = 0; }, false},
        {"one more event",
         [](StMacro& b) {
             b.events[2] = MacroEvent{0x42, 1, 0};
         },
         false},
    };
    StMacro a = Macro("jump äö", 1);
    for (const Case& c : cases) {
        StMacro b = a;
        b.id = 2;
        c.change(b);
        EXPECT_EQ(MacrosEqual(a, b), c.equal) << c.what;
    }
}

TEST(MacroRecord, IdsFromTheClockStayIn24BitsAndDiffer) {
    EXPECT_EQ(MacroIdFromTime({2026, 1, 1, 23, 59, 59, 999}), 0x7EFBE7u);
    EXPECT_LE(MacroIdFromTime({2026, 1, 1, 15, 59, 59, 255}), 0xFFFFFFu);
    const MacroId a = NewMacroId(), b = NewMacroId();
    EXPECT_NE(a, b);
    EXPECT_LE(a, 0xFFFFFFu);
    EXPECT_LE(b, 0xFFFFFFu);
}

TEST_F(MacroLibraryTest, ReadMacroFileTakesTheFirst834BytesOfAMacroOnly) {
    StMacro m = Macro("m", 0x1234);
    uint8_t rotated[kStMacroSize];
    MacroFileBytes(m, rotated);
    const std::string whole(reinterpret_cast<char*>(rotated), kStMacroSize);
    std::string wrongMagic = whole;
    wrongMagic[0] = 0;

    struct Case {
        const char* name;
        std::string content;
        bool isMacro;
    };
    const Case cases[] = {
        {"exact.qzm", whole, true},
        {"longer.qzm", whole + std::string(100, '\x55'), true},
        {"short.qzm", whole.substr(0, 833), false},
        {"empty.qzm", "", false},
        {"magic.qzm", wrongMagic, false},
        {"picture.png", "\x89PNG\r\n", false},
    };
    for (const Case& c : cases) {
        dir.Write(c.name, c.content);
        std::optional<StMacro> r = ReadMacroFile(dir / c.name);
        ASSERT_EQ(r.has_value(), c.isMacro) << c.name;
        if (r) {
            EXPECT_TRUE(MacrosEqual(*r, m) && r->id == 0x1234) << c.name;
        }
    }
    EXPECT_FALSE(ReadMacroFile(dir / "missing.qzm"));
    EXPECT_FALSE(ReadMacroFile(dir.path()));
    // A read-only macro could never be saved back, so it is not taken.
    ASSERT_TRUE(platform::SetReadOnly(dir / "exact.qzm", true));
    EXPECT_FALSE(ReadMacroFile(dir / "exact.qzm"));
    platform::SetReadOnly(dir / "exact.qzm", false);
}

TEST_F(MacroLibraryTest, WriteMacroFileRotatesAndCreatesFolders) {
    StMacro m = Macro("m", 0x1234);
    m.flags = kMacroChanged;
    const std::string path = Root("a/b/m.qzm");
    ASSERT_TRUE(WriteMacroFile(m, path));
    EXPECT_EQ(+m.flags, 0u);
    const Bytes file = FileBytes(path);
    ASSERT_EQ(file.size(), kStMacroSize);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 8),
              (Bytes{0x28, 0x66, 0xF2, 0xBE, 0x0D, 0x84, 0x00, 0x00}));
    EXPECT_EQ(file[8 + 3], 0x00) << "the change bits are not stored";
    std::optional<StMacro> back = ReadMacroFile(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(std::memcmp(&*back, &m, sizeof m), 0);
}

TEST_F(MacroLibraryTest, FailedWriteKeepsTheOldFileAndTheChangeBits) {
    StMacro old = Macro("m", 7);
    ASSERT_TRUE(WriteMacroFile(old, dir / "m.qzm"));
    const Bytes before = FileBytes(dir / "m.qzm");
    ASSERT_TRUE(platform::SetReadOnly(dir / "m.qzm", true));

    zvtest::MacroLogCapture log;
    StMacro edited = Macro("m", 7, 0x42);
    edited.flags = kMacroChanged;
    EXPECT_FALSE(WriteMacroFile(edited, dir / "m.qzm"));
    EXPECT_EQ(+edited.flags, kMacroChanged) << "the edit is still to be saved";
    EXPECT_EQ(FileBytes(dir / "m.qzm"), before);
    EXPECT_TRUE(log.Has("MyCreateFile: " + dir / "m.qzm" + ", error=0x5"));
    platform::SetReadOnly(dir / "m.qzm", false);

    // A folder where the file's folder should be cannot be created.
    dir.Write("file", "x");
    EXPECT_FALSE(WriteMacroFile(edited, dir / "file/sub/m.qzm"));
    EXPECT_TRUE(log.Has("MakeSureFolderExist: create dir "));
}

TEST_F(MacroLibraryTest, MacroDictHoldsTheFirst2000QualifyingRecords) {
    // 2500 macros load from disk without a limit.
    ASSERT_TRUE(platform::MakeDirectory(MacroRootFolder()));
    for (MacroId i = 1; i <= 2500; ++i) {
        // id 0 and a first event code 0 are not written to the dictionary.
        StMacro m = Macro(("m" + std::to_string(i)).c_str(), i == 3 ? 0 : i, i == 5 ? 0 : 0x41);
        char name[24];
        std::snprintf(name, sizeof name, "Mac/m%04u.qzm", i);
        uint8_t bytes[kStMacroSize];
        MacroFileBytes(m, bytes);
        // Plain writes: 2500 flushed atomic replacements would take the test half a minute.
        std::FILE* f = std::fopen((dir / name).c_str(), "wb");
        ASSERT_TRUE(f);
        ASSERT_EQ(std::fwrite(bytes, 1, sizeof bytes, f), sizeof bytes);
        std::fclose(f);
    }
    ASSERT_TRUE(LoadMacroFolder(MacroRootFolder(), nullptr, 0, false, true, list));
    ASSERT_EQ(list.Count(), 2500u);

    ASSERT_TRUE(SaveMacroDict(list));
    const Bytes dct = FileBytes(dir / "mac.dct");
    ASSERT_EQ(dct.size(), 1668000u);
    auto slotId = [&](size_t slot) {
        return StMacroFromBytes(dct.data() + slot * kStMacroSize).id;
    };
    EXPECT_EQ(slotId(0), 1u);
    EXPECT_EQ(slotId(1), 2u);
    EXPECT_EQ(slotId(2), 4u);
    EXPECT_EQ(slotId(3), 6u);
    EXPECT_EQ(slotId(1999), 2002u);
    // Plain records, not rotated.
    EXPECT_EQ(Bytes(dct.begin(), dct.begin() + 4), (Bytes{0xA0, 0x99, 0xCB, 0xFA}));
}

TEST_F(MacroLibraryTest, MacroDictWriteFailureIsLogged) {
    zvtest::MacroLogCapture log;
    gVar.szAppDataDir = dir / "missing/";
    EXPECT_FALSE(SaveMacroDict(list));
    EXPECT_TRUE(log.Has("Save macro: CreateFile err=3"));
}

TEST(SafeFileName, NamesFromOutsideStayInsideTheFolder) {
    struct Case {
        const char* name;
        const char* safe;
    };
    const Case cases[] = {
        {"Jump", "Jump"},
        {"../x", ".._x"},
        {"..", "_"},
        {".", "_"},
        {"a\\b", "a_b"},
        {"C:evil", "C_evil"},
        {"CON", "_CON"},
        {"nul.txt", "_nul.txt"},
        {"com7", "_com7"},
        {"x\x01y", "x_y"},
        {"trail. ", "trail"},
        {"", "_"},
        {"a<b>|\"?*", "a_b_____"},
        {"COM0", "COM0"},
        {"console", "console"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MakeSafeFileName(c.name), c.safe) << c.name;
        EXPECT_TRUE(IsSafeFileName(MakeSafeFileName(c.name))) << c.name;
        EXPECT_EQ(IsSafeFileName(c.name), std::string(c.name) == c.safe) << c.name;
    }
}

// Every byte in the middle of a name, so each character on either side of the rule is seen:
// all below 0x20, 0x7F and the nine that Windows refuses are out; space, '~', 0x80 and above
// (UTF-8) and every other printable character are in.
TEST(SafeFileName, EveryByteOnEitherSideOfTheCharacterRule) {
    const std::string refused = "/\\:*?\"<>|";
    for (int c = 0; c < 256; ++c) {
        const bool out =
            c < 0x20 || c == 0x7F || refused.find(static_cast<char>(c)) != std::string::npos;
        const std::string name = std::string("a") + static_cast<char>(c) + "b";
        EXPECT_EQ(IsSafeFileName(name), !out) << "byte " << c;
        EXPECT_EQ(MakeSafeFileName(name), out ? "a_b" : name) << "byte " << c;
    }
}

// The ends of a name and the device names, each next to its nearest safe neighbour.
TEST(SafeFileName, EndsAndDeviceNamesAtTheirEdges) {
    struct Case {
        const char* name;
        bool safe;
        const char* made;
    };
    const Case cases[] = {
        {"a.", false, "a"},
        {".a", true, ".a"},
        {"a.b", true, "a.b"},
        {"a ", false, "a"},
        {" a", true, " a"},
        {"...", false, "_"},
        {"COM1", false, "_COM1"},
        {"COM9", false, "_COM9"},
        {"COM10", true, "COM10"},
        {"COM", true, "COM"},
        {"LPT1", false, "_LPT1"},
        {"LPT0", true, "LPT0"},
        {"con", false, "_con"},
        {"CONX", true, "CONX"},
        {"xCON", true, "xCON"},
        {"CON .x", false, "_CON .x"},
        {"aux.tar.gz", false, "_aux.tar.gz"},
        {"PRN", false, "_PRN"},
        {"CONIN$", false, "_CONIN$"},
        {"CONOUT$", false, "_CONOUT$"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsSafeFileName(c.name), c.safe) << c.name;
        EXPECT_EQ(MakeSafeFileName(c.name), c.made) << c.name;
    }
}

TEST_F(MacroLibraryTest, AddMacroFromTheMouseWritesItsFileInTheRoot) {
    MacroTree tree;
    MacroTreeLink link(tree);
    StMacro m = Macro("../../Fire", 0x111);
    std::optional<StMacro> stored = Add_Macro(m, &link, list);
    ASSERT_TRUE(stored);
    EXPECT_EQ(+stored->flags, 0u) << "written, so no longer changed";
    EXPECT_TRUE(list.Contains(0x111));
    const MacroTreeItem item = tree.FindRootChild(".._.._Fire");
    ASSERT_NE(item, 0u);
    EXPECT_EQ(tree.Find(item)->id, 0x111u);
    EXPECT_TRUE(ReadMacroFile(Root(".._.._Fire.qzm")));
    std::vector<platform::DirEntry> top;
    platform::ListDirectory(dir.path(), top);
    ASSERT_EQ(top.size(), 1u) << "nothing outside the macro folder";

    // Without a page only the list and the file change.
    ASSERT_TRUE(Add_Macro(Macro("Solo", 0x222), nullptr, list));
    EXPECT_TRUE(ReadMacroFile(Root("Solo.qzm")));
}

TEST_F(MacroLibraryTest, ImportFormAddsToTheProgramsListAndWritesTheFile) {
    const StMacro m = Macro("CON", 0x333);
    ASSERT_TRUE(Add_Macro(m, nullptr, g_MacroList));
    EXPECT_TRUE(g_MacroList.Contains(0x333));
    g_MacroList.Clear();
    EXPECT_EQ(RootMacroFilePath(m), Root("_CON.qzm"));
    EXPECT_TRUE(ReadMacroFile(Root("_CON.qzm")));
}

TEST_F(MacroLibraryTest, AddMacroRefusals) {
    zvtest::MacroLogCapture log;
    StMacro bad = Macro("x", 1);
    bad.dwMagicNumber = 0x12345678;
    EXPECT_FALSE(Add_Macro(bad, nullptr, list));
    EXPECT_TRUE(log.Has("Add_Macro: FAILED, dwMagicNumber=0x12345678"));

    struct RefusingPage : MacroPageLink {
        bool AddRootMacro(const std::string&, MacroId) override { return false; }
        std::optional<RootMacro> FindRootMacro(const std::string&) override { return {}; }
        void ReleaseMacro(MacroId) override {}
    } page;
    EXPECT_FALSE(Add_Macro(Macro("x", 2), &page, list));
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_FALSE(platform::FileExists(Root("x.qzm")));
}

TEST_F(MacroLibraryTest, UpdateFromDeviceReplacesTheRootMacroOfThatName) {
    MacroTree tree;
    MacroTreeLink link(tree);
    StMacro stored = Macro("Reload", 0x500);
    ASSERT_TRUE(Add_Macro(stored, &link, list));
    tree.Select(tree.FindRootChild("Reload"));

    StMacro fromMouse = Macro("RELOAD", 0x999, 0x52);
    fromMouse.repeatCount = 3;
    std::optional<MacroId> id = UpdateMacroFromDevice(fromMouse, &link, list);
    ASSERT_EQ(id, 0x500u);
    EXPECT_EQ(tree.Selected(), 0u) << "the editor let go of the replaced macro";
    std::optional<StMacro> now = list.FindMacroById(0x500);
    ASSERT_TRUE(now);
    EXPECT_EQ(+now->events[0].code, 0x52);
    EXPECT_EQ(+now->repeatCount, 3);
    EXPECT_EQ(+now->flags, 0u);
    std::optional<StMacro> file = ReadMacroFile(Root("Reload.qzm"));
    ASSERT_TRUE(file);
    EXPECT_EQ(+file->id, 0x500u);
    EXPECT_EQ(+file->events[0].code, 0x52);

    // Without a page the root file of that name is the stored macro.
    fromMouse.events[0].code = 0x53;
    EXPECT_EQ(UpdateMacroFromDevice(fromMouse, nullptr, list), 0x500u);
    EXPECT_EQ(+ReadMacroFile(Root("Reload.qzm"))->events[0].code, 0x53);

    EXPECT_FALSE(UpdateMacroFromDevice(Macro("Unknown", 1), &link, list));
    EXPECT_FALSE(UpdateMacroFromDevice(Macro("Unknown", 1), nullptr, list));
}

TEST(FixOrphanMacros, MacroButtonsWithoutTheirMacroGetTheirDefault) {
    MacroList list;
    list.AddMacroToList(Macro("kept", 0x10));
    KeySets defaults{};
    for (int s = 0; s < kKeySets; ++s)
        for (int k = 0; k < kKeysPerSet; ++k)
            defaults[s][k] = KeyInfo{0x01000011u + static_cast<uint32_t>(k), uint32_t(k + 1)};
    ProfileFile p{};
    p.keys = defaults;
    p.keys[0][2] = KeyInfo{0x05000000, 3, 0x10};  // macro still there
    p.keys[0][4] = KeyInfo{0x05000000, 5, 0x20};  // deleted macro
    p.keys[2][15] = KeyInfo{0x05000000, 16, 0x30};
    ProfileFile expected = p;
    expected.keys[0][4] = defaults[0][4];
    expected.keys[2][15] = defaults[2][15];

    EXPECT_TRUE(FixOrphanMacros(p, defaults, list));
    EXPECT_EQ(p, expected);
    EXPECT_FALSE(FixOrphanMacros(p, defaults, list)) << "nothing left to change";
}

// The profile-reading thread replaces records while the user-interface thread reads them:
// every copy handed out must be one whole record, never half old and half new.
TEST(MacroListThreads, ReadersNeverSeeATornRecord) {
    MacroList list;
    StMacro m = NewMacroRecord("shared", 1);
    for (int i = 0; i < MAX_MACRO_EVENTS; ++i) m.events[i] = MacroEvent{0x41, 1, 0};
    list.AddMacroToList(m);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (uint32_t round = 1; !stop; ++round) {
            StMacro next = m;
            for (int i = 0; i < MAX_MACRO_EVENTS; ++i) next.events[i] = MacroEvent{0x41, 1, round};
            list.Update(1, [&](StMacro& s) { s = next; });
            if (round % 64 == 0) {
                list.AddMacroToList(Macro("more", 1000 + round));
                list.RemoveMacroFromList(1000 + round);
            }
        }
    });
    for (int i = 0; i < 20000; ++i) {
        std::optional<StMacro> r = list.FindMacroById(1);
        ASSERT_TRUE(r);
        for (int e = 1; e < MAX_MACRO_EVENTS; ++e)
            ASSERT_EQ(+r->events[e].delay, +r->events[0].delay) << "torn at event " << e;
    }
    stop = true;
    writer.join();
}

}  // namespace

// Profile export and import files: the round trip, the checks of a file from outside and the
// merging of its macros into the library.
#include "profile/profile_transfer.h"

#include <random>

#include "e2e/profile_sim.h"
#include "macro/macro_file.h"
#include "profile/apply_thread.h"
#include "support/notice_log.h"
#include "ui/import_limits.h"

namespace {

using Bytes = std::vector<uint8_t>;

class ProfileTransfer : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(zvtest::LoadShippedConfig(data));
        p = &zvtest::UseNewProfile();
    }
    void TearDown() override { StopApplyThread(); }

    // A macro in the library, on `row` of key set 0.
    StMacro MacroOnRow(const std::string& name, int row) {
        StMacro m = NewMacroRecord(name);
        m.events[0] = {0x41, kMacroEventDown, 20};
        m.events[1] = {0x41, 0, 0};
        EXPECT_TRUE(g_MacroList.AddMacroToList(m));
        p->keys[0][row] = {0x05000000, static_cast<uint32_t>(row + 1), m.id};
        return m;
    }
    std::string Exported() {
        const std::string path = files / "p.qza";
        EXPECT_EQ(ExportProfile(path, g_MacroList, told.Sink()), 1);
        return path;
    }
    std::vector<std::string> Messages() { return told.TakeTexts(); }

    // The shipped texts have their own words for a file that is no profile.
    static std::string Invalid() { return GetText("tc_tip3"); }

    zvtest::TempDir data, files;
    zvtest::NoticeLog told;
    ProfileFile* p = nullptr;
};

TEST_F(ProfileTransfer, RoundTripKeepsTheRecordAndTheCurrentLevel) {
    StMacro m = MacroOnRow("Burst", 3);
    p->keys[1][3] = p->keys[0][3];  // the same macro twice: stored once
    p->nDebounce = 7;
    gVar.g_nCurDpiLevel = 2;
    const ProfileFile exported = *p;
    const std::string path = Exported();
    uint64_t size = 0;
    ASSERT_TRUE(platform::GetFileSize(path, size));
    EXPECT_EQ(size, 10456u);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(platform::ReadFile(path, bytes));
    EXPECT_EQ(ReadLe32(bytes.data() + 2116 + 4), +m.id);
    EXPECT_EQ(ReadLe32(bytes.data() + 2116 + 834 + 4), 0u);

    // Into another profile of the list, with the library as it was.
    gVar.pFile = &gVar.ProfileList[1];
    const uint32_t ownId = gVar.pFile->dwId;
    gVar.g_nCurDpiLevel = 0;
    ASSERT_EQ(
        ImportProfile(path, PageImportRules(gVar, gVar, g_MacroList), g_MacroList, told.Sink()), 1);
    EXPECT_EQ(gVar.pFile->dwId, ownId);
    ProfileFile want = exported;
    want.dwId = ownId;
    want.nSavedDpiLevel = 2;
    EXPECT_EQ(*gVar.pFile, want);
    EXPECT_EQ(gVar.g_nCurDpiLevel, 2);
    // The library's macro took the file's copy; nothing was added.
    EXPECT_EQ(g_MacroList.Count(), 1u);
}

TEST_F(ProfileTransfer, ImportedMacrosNewToTheLibraryGetNewIds) {
    StMacro m = MacroOnRow("Burst", 3);
    p->keys[2][5] = p->keys[0][3];
    const std::string path = Exported();
    g_MacroList.Clear();
    ASSERT_EQ(
        ImportProfile(path, PageImportRules(gVar, gVar, g_MacroList), g_MacroList, told.Sink()), 1);
    ASSERT_EQ(g_MacroList.Count(), 1u);
    const StMacro added = g_MacroList.Snapshot()[0];
    EXPECT_NE(+added.id, +m.id);
    EXPECT_EQ(MacroNameUtf8(added), "Burst");
    // Both buttons follow the one new macro.
    EXPECT_EQ(p->keys[0][3].dwMacroID, +added.id);
    EXPECT_EQ(p->keys[2][5].dwMacroID, +added.id);
    EXPECT_TRUE(platform::FileExists(MacroRootFolder() + platform::PathSeparator() + "Burst.qzm"));
}

TEST_F(ProfileTransfer, SavedLevelBeyondTheDeviceBecomesZero) {
    gVar.g_nCurDpiLevel = 7;  // the first mouse has six levels
    p->nDpiLevels = 8;
    const std::string path = Exported();
    ASSERT_EQ(
        ImportProfile(path, PageImportRules(gVar, gVar, g_MacroList), g_MacroList, told.Sink()), 1);
    EXPECT_EQ(gVar.g_nCurDpiLevel, 0);
}

TEST_F(ProfileTransfer, ButtonWhoseMacroIsNotInTheFileKeepsItsId) {
    p->keys[0][2] = {0x05000000, 3, 0x00ABCDEF};
    const std::string path = Exported();
    ASSERT_EQ(
        ImportProfile(path, PageImportRules(gVar, gVar, g_MacroList), g_MacroList, told.Sink()), 1);
    EXPECT_EQ(p->keys[0][2].dwMacroID, 0x00ABCDEFu);
    EXPECT_EQ(g_MacroList.Count(), 0u);
}

TEST_F(ProfileTransfer, TwelveMacrosStoreTenAndSayIt) {
    for (int set = 0; set < 3; ++set)
        for (int row = 0; row < 4; ++row) {
            const int n = set * 4 + row;
            StMacro m = NewMacroRecord("M" + std::to_string(n), static_cast<MacroId>(0x100 + n));
            ASSERT_TRUE(g_MacroList.AddMacroToList(m));
            p->keys[set][row] = {0x05000000, static_cast<uint32_t>(row + 1), m.id};
        }
    Exported();
    auto msgs = Messages();
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_NE(msgs[0].find("2 more"), std::string::npos) << msgs[0];
}

TEST_F(ProfileTransfer, FilesThatAreNoProfileChangeNothing) {
    MacroOnRow("Keep", 2);
    std::vector<uint8_t> good;
    ASSERT_TRUE(platform::ReadFile(Exported(), good));
    const ProfileFile before = *p;
    std::mt19937 rng(7);
    std::string random(10456, '\0');
    for (char& c : random) c = static_cast<char>(rng());
    std::string foreign(good.begin(), good.end());
    foreign[0] = 0x35;  // another record type
    std::string noId(good.begin(), good.end());
    noId[4] = noId[5] = noId[6] = noId[7] = 0;
    // Shorter than one record: nothing to import. (A longer file is read as far as a profile
    // file goes.)
    std::string shortOne(good.begin(), good.begin() + 2115);
    struct Case {
        const char* what;
        std::string bytes;
        std::string message;
    } cases[] = {
        {"empty", "", "Read profile failed."},
        {"five bytes", "\x34\x12\xAA\xFC\x01", Invalid()},
        {"2115 bytes", shortOne, Invalid()},
        {"random bytes", random, Invalid()},
        {"another record type", foreign, Invalid()},
        {"record id 0", noId, Invalid()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        files.Write("bad.qza", c.bytes);
        EXPECT_EQ(ImportProfile(files / "bad.qza", PageImportRules(gVar, gVar, g_MacroList),
                                g_MacroList, told.Sink()),
                  0);
        EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(*p, before);
        EXPECT_EQ(g_MacroList.Count(), 1u);
    }
    EXPECT_EQ(ImportProfile(files / "missing.qza", PageImportRules(gVar, gVar, g_MacroList),
                            g_MacroList, told.Sink()),
              0);
    // The language's own words for the open error, then the system's error number.
    EXPECT_EQ(Messages(), std::vector<std::string>{GetText("tc_tip2") + " 2"});
}

TEST_F(ProfileTransfer, HostileMacroNamesAreImportedInsideTheMacroFolder) {
    MacroOnRow("Fine", 1);
    StMacro second = MacroOnRow("x", 2);
    std::vector<uint8_t> good;
    ASSERT_TRUE(platform::ReadFile(Exported(), good));
    const std::string names[] = {"..\\..\\evil", "a/b", "CON", "lpt1.txt", "C:x", "", "a?b."};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        g_MacroList.Clear();
        zvtest::RemoveTree(MacroRootFolder());
        std::vector<uint8_t> bytes = good;
        StMacro hostile = second;
        SetMacroNameUtf8(hostile, name);
        StMacroToBytes(hostile, bytes.data() + 2116 + 834);
        files.Write("h.qza", std::string(bytes.begin(), bytes.end()));
        ASSERT_EQ(ImportProfile(files / "h.qza", PageImportRules(gVar, gVar, g_MacroList),
                                g_MacroList, told.Sink()),
                  1);
        // The macro keeps its name; its file gets a safe one, directly in the macro folder.
        const MacroId id = p->keys[0][2].dwMacroID;
        EXPECT_EQ(MacroNameUtf8(*g_MacroList.FindMacroById(id)), name);
        const std::string file = g_MacroList.FileOf(id);
        EXPECT_EQ(platform::DirectoryOf(file), platform::JoinPath(MacroRootFolder(), ""));
        EXPECT_TRUE(ReadMacroFile(file));
    }
    // A name of 39 characters without its terminator is cut to the 15 the mouse keeps, so the
    // next reading finds the same macro rather than adding a cut copy.
    std::vector<uint8_t> bytes = good;
    StMacro longName = second;
    for (char16_t& c : longName.name) c = u'n';
    StMacroToBytes(longName, bytes.data() + 2116 + 834);
    files.Write("l.qza", std::string(bytes.begin(), bytes.end()));
    ASSERT_EQ(ImportProfile(files / "l.qza", PageImportRules(gVar, gVar, g_MacroList), g_MacroList,
                            told.Sink()),
              1);
    EXPECT_EQ(MacroNameUtf8(*g_MacroList.FindMacroById(p->keys[0][2].dwMacroID)),
              std::string(15, 'n'));
}

TEST_F(ProfileTransfer, ImportWhileReadingIsRefused) {
    const std::string path = Exported();
    g_bSyncDone = 0;
    EXPECT_EQ(
        ImportProfile(path, PageImportRules(gVar, gVar, g_MacroList), g_MacroList, told.Sink()), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{GetText("tc_adv_str15")});
    g_bSyncDone = 1;
}

TEST_F(ProfileTransfer, MacroThatCannotBeWrittenStopsTheImport) {
    MacroOnRow("Solo", 2);
    const std::string path = Exported();
    g_MacroList.Clear();
    const ProfileFile before = *p;
    // The macro folder's place is taken by a file, so no macro file can be made.
    data.Write("Mac", "not a folder");
    EXPECT_EQ(
        ImportProfile(path, PageImportRules(gVar, gVar, g_MacroList), g_MacroList, told.Sink()), 0);
    const std::vector<std::string> msgs = Messages();
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].rfind("Add macro failed: Solo (", 0), 0u) << msgs[0];
    EXPECT_EQ(g_MacroList.Count(), 0u);
    EXPECT_EQ(*p, before);
}

}  // namespace

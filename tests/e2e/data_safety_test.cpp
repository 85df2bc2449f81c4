// The zorvan command keeps the user's data: saves that fail are said and fail the command,
// macros keep their own files and are never overwritten by others, read-only commands write
// nothing, and the macro library is the same one the window sees.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "macro/macro_file.h"
#include "macro/st_macro.h"
#include "platform/fs.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

#ifdef ZV_CLI_PATH

namespace {

using Result = zvtest::CliResult;

// A macro file as the program writes it: name, id and two key events with these delays.
std::string MacroFile(const std::u16string& name, MacroId id, uint8_t key, uint32_t lastDelay = 0) {
    StMacro m = NewMacroRecord("", id);
    SetMacroName(m, name);
    m.events[0] = MacroEvent{key, kMacroEventDown, 30};
    m.events[1] = MacroEvent{key, 0, lastDelay};
    uint8_t bytes[kStMacroSize];
    MacroFileBytes(m, bytes);
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

class DataSafetyCli : public ::testing::Test {
  protected:
    Result Run(const std::string& args) { return RunIn(data.path(), args); }
    Result RunIn(const std::string& dataDir, const std::string& args) {
        // The virtual mouse lives beside the data, so a data folder that cannot be written
        // still has its mouse.
        return zvtest::RunCommand(ZV_CLI_PATH,
                                  "--sim='" + (files / "mouse.sim") + "' " +
                                      zvtest::ShippedCfgArg() + " --data-dir '" + dataDir + "' " +
                                      args,
                                  files);
    }
    std::string Eeprom(const std::string& addrLen) {
        Result r = Run("eeprom read " + addrLen);
        EXPECT_EQ(r.code, 0) << r.err;
        return r.out;
    }
    void PutMacro(const std::string& rel, const std::string& bytes) {
        const std::string path = data / ("Mac/" + rel);
        ASSERT_TRUE(MakeSureFolderExist(path));
        ASSERT_TRUE(platform::WriteFileAtomic(path, bytes.data(), bytes.size()));
    }
    std::string MacroBytes(const std::string& rel) { return data.Read("Mac/" + rel); }

    zvtest::TempDir data, files;
};

TEST_F(DataSafetyCli, DataFolderUnderMissingParentsKeepsTheChange) {
    const std::string deep = data / "a/b/c";
    // The first command reads the whole profile, so the cache is made in the new folder; the
    // change after it is a one-record write that updates that cache.
    Result r = RunIn(deep, "show");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(platform::FileExists(deep + "/PRO_101a.dct"));
    r = RunIn(deep, "set rate 250");
    ASSERT_EQ(r.code, 0) << r.err;
    r = RunIn(deep, "show");
    EXPECT_NE(r.out.find("rate: 250 Hz"), std::string::npos) << r.out;
}

TEST_F(DataSafetyCli, AFailedSaveIsSaidWithItsPathAndFailsTheCommand) {
    // A folder where the profile cache must go: the profile is read, the cache cannot be saved.
    ASSERT_TRUE(platform::MakeDirectory(data / "PRO_101a.dct"));
    Result r = Run("show");
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_NE(r.err.find("cannot save " + (data / "PRO_101a.dct") + ": it is a folder, not a file"),
              std::string::npos)
        << r.err;
    // Under a file nothing can be made: every save fails and says so.
    data.Write("plain", "x");
    r = RunIn(data / "plain/zorvan", "show");
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_NE(r.err.find("cannot create the data folder " + (data / "plain/zorvan/")),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("cannot save " + (data / "plain/zorvan/")), std::string::npos) << r.err;
}

TEST_F(DataSafetyCli, ReadOnlyCommandsWriteNeitherMacDctNorMacroFiles) {
    // The last delay is one the mouse does not keep: reading the mouse back must not count
    // that as a change and rewrite the user's file.
    PutMacro("m.qzm", MacroFile(u"m", 0x10101, 0x41, 40));
    ASSERT_EQ(Run("button 5 macro m").code, 0);
    const std::string userFile = MacroBytes("m.qzm");
    data.Write("mac.dct", "sentinel");
    for (const char* args : {"list", "macro list", "show", "macro show m"}) {
        SCOPED_TRACE(args);
        Result r = Run(args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(data.Read("mac.dct"), "sentinel");
        EXPECT_EQ(MacroBytes("m.qzm"), userFile);
    }
    // A change of the library is written.
    files.Write("n.qzm", MacroFile(u"n", 0x10102, 0x42));
    ASSERT_EQ(Run("macro import '" + (files / "n.qzm") + "'").code, 0);
    EXPECT_EQ(data.Read("mac.dct").size(), kMacroDictSize);
}

TEST_F(DataSafetyCli, ImportAddsBesideTheUsersMacrosAndDeleteTakesTheRightFile) {
    PutMacro("def.qzm", MacroFile(u"def", 0x20201, 0x41));
    const std::string mine = MacroBytes("def.qzm");
    files.Write("same-name.qzm", MacroFile(u"DEF", 0x20202, 0x42));
    files.Write("same-id.qzm", MacroFile(u"other", 0x20201, 0x43));
    Result r = Run("macro import '" + (files / "same-name.qzm") + "'");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("the new one is named \"DEF (2)\""), std::string::npos) << r.err;
    r = Run("macro import '" + (files / "same-id.qzm") + "'");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("given a new one"), std::string::npos) << r.err;
    EXPECT_EQ(MacroBytes("def.qzm"), mine);
    r = Run("--json macro list");
    EXPECT_EQ(r.out,
              "[{\"name\":\"DEF (2)\",\"events\":2},{\"name\":\"def\",\"events\":2},"
              "{\"name\":\"other\",\"events\":2}]\n");

    // "gone" lives in a file of another name; def.qzm must survive its deletion.
    PutMacro("elsewhere.qzm", MacroFile(u"gone", 0x20203, 0x44));
    r = Run("macro delete gone");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_FALSE(platform::FileExists(data / "Mac/elsewhere.qzm"));
    EXPECT_EQ(MacroBytes("def.qzm"), mine);
}

TEST_F(DataSafetyCli, OddNamesAndFilesLoseNothing) {
    // A name holding the temporary files' mark is a macro like any other; a real leftover goes.
    PutMacro("a.zvtmp.qzm", MacroFile(u"a.zvtmp", 0x50501, 0x41));
    PutMacro("b.qzm.zvtmpabcdef123456", MacroFile(u"b", 0x50502, 0x42));
    ASSERT_EQ(Run("macro list").code, 0);
    Result r = Run("macro list");
    EXPECT_NE(r.out.find("a.zvtmp  (2 events)"), std::string::npos) << r.out;
    EXPECT_TRUE(platform::FileExists(data / "Mac/a.zvtmp.qzm"));
    EXPECT_FALSE(platform::FileExists(data / "Mac/b.qzm.zvtmpabcdef123456"));

    // The same file imported twice is one macro.
    files.Write("same.qzm", MacroFile(u"same", 0x50503, 0x43));
    for (int i = 0; i < 2; ++i) {
        r = Run("macro import '" + (files / "same.qzm") + "'");
        ASSERT_EQ(r.code, 0) << r.err;
    }
    r = Run("macro list");
    EXPECT_NE(r.out.find("same  (2 events)"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("same (2)"), std::string::npos) << r.out;

    // A zero-filled cache of the right size is dropped and made again from the mouse.
    data.Write("PRO_101a.dct", std::string(8468, '\0'));
    for (const char* c : {"set rate 500", "button 3 middle", "show"}) {
        r = Run(c);
        EXPECT_EQ(r.code, 0) << c << ": " << r.err;
    }
    const std::string cache = data.Read("PRO_101a.dct");
    ASSERT_EQ(cache.size(), 8468u);
    EXPECT_EQ(cache.substr(4, 4), std::string("\x34\x12\xaa\xfc", 4));

    // A macro is deleted only when the mouse could be read: else it would come back.
    PutMacro("kept.qzm", MacroFile(u"kept", 0x50504, 0x44));
    ASSERT_EQ(Run("eeprom write 0 0x03 0x52").code, 0);  // a rate no reading accepts
    r = Run("macro delete kept");
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.Says("is not deleted")) << r.err;
    EXPECT_TRUE(platform::FileExists(data / "Mac/kept.qzm"));
}

TEST_F(DataSafetyCli, PipesAndLinksInPlaceOfDataFilesNeitherHangNorUnlock) {
    ASSERT_EQ(Run("show").code, 0);  // the data folder and its lock file exist
    // A pipe where a data file belongs: read without waiting for a writer, and refused.
    for (const char* name : {"CID.dct", "PRO_101a.dct"}) {
        SCOPED_TRACE(name);
        platform::RemoveFile(data / name);
        ASSERT_EQ(::mkfifo((data / name).c_str(), 0600), 0);
        const Result r =
            zvtest::RunCommand("timeout 30 " + std::string(ZV_CLI_PATH),
                               "--sim='" + (files / "mouse.sim") + "' " + zvtest::ShippedCfgArg() +
                                   " --data-dir '" + data.path() + "' show",
                               files);
        EXPECT_EQ(r.code, 0) << r.err;
    }
    // A lock file that is a link or a pipe would lock something else, or hang: refused.
    ASSERT_TRUE(platform::RemoveFile(data / "zorvan.lock"));
    ASSERT_EQ(::symlink((files / "elsewhere.lock").c_str(), (data / "zorvan.lock").c_str()), 0);
    Result r = Run("show");
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.Says("zorvan.lock is not a plain file")) << r.err;
    ASSERT_TRUE(platform::RemoveLink(data / "zorvan.lock"));
    ASSERT_EQ(::mkfifo((data / "zorvan.lock").c_str(), 0600), 0);
    r = Run("show");
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.Says("zorvan.lock is not a plain file")) << r.err;
}

TEST_F(DataSafetyCli, LevelsBeyondTheCountAreReadFromTheMouse) {
    ASSERT_EQ(Run("set dpi-count 2").code, 0);
    // Another computer changes a level beyond the count; this cache still holds the old one.
    zvtest::TempDir other;
    ASSERT_EQ(RunIn(other.path(), "set dpi 5 1600").code, 0);
    ASSERT_EQ(Run("profile export '" + (files / "p.qza") + "'").code, 0);
    const std::string qza = files.Read("p.qza");
    ASSERT_EQ(qza.size(), 10456u);
    auto le32 = [&](size_t at) {
        return static_cast<uint32_t>(static_cast<uint8_t>(qza[at])) |
               static_cast<uint32_t>(static_cast<uint8_t>(qza[at + 1])) << 8 |
               static_cast<uint32_t>(static_cast<uint8_t>(qza[at + 2])) << 16;
    };
    EXPECT_EQ(le32(1752 + 4 * 16), 1600u);
    EXPECT_EQ(le32(1752 + 4 * 16 + 4), 1600u);
}

TEST_F(DataSafetyCli, SubFolderMacrosStayAssigned) {
    // The shipped configuration shows sub-folders (MacroDir=1): their macros are the library's
    // too, so reading the mouse finds them instead of making root copies, and a repair of
    // orphaned buttons keeps the button that plays one.
    PutMacro("Games/sub.qzm", MacroFile(u"sub", 0x30301, 0x41));
    PutMacro("root.qzm", MacroFile(u"root", 0x30302, 0x42));
    Result r = Run("button 5 macro sub");
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string key = Eeprom("0x70 4");
    EXPECT_EQ(key.substr(0, 3), "06 ") << key;
    ASSERT_EQ(Run("show").code, 0);
    r = Run("macro delete root");  // runs the orphan repair over the profile
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Eeprom("0x70 4"), key);
    EXPECT_FALSE(platform::FileExists(data / "Mac/sub.qzm"));
}

TEST_F(DataSafetyCli, OwnExportsReimportWhateverTheMacroNamesAndSizes) {
    PutMacro("m.qzm", MacroFile(u"m", 0x40401, 0x41));
    ASSERT_EQ(Run("button 5 macro m").code, 0);
    ASSERT_EQ(Run("profile export '" + (files / "p.qza") + "'").code, 0);
    const std::string exported = files.Read("p.qza");
    ASSERT_EQ(exported.size(), 10456u);

    struct Case {
        const char* what;
        std::u16string name;
        size_t extra;  // bytes added after the file
        int code;
    } cases[] = {
        {"nameless", u"", 0, 0},
        {"unsafe name", u"a?b", 0, 0},
        {"longer file", u"m", 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string qza = exported;
        // Slot 0's name, 40 UTF-16 units at 20 after the 2116-byte record.
        for (size_t i = 0; i < 80; ++i) qza[2116 + 20 + i] = 0;
        for (size_t i = 0; i < c.name.size(); ++i) {
            qza[2116 + 20 + 2 * i] = static_cast<char>(c.name[i] & 0xFF);
            qza[2116 + 21 + 2 * i] = static_cast<char>(c.name[i] >> 8);
        }
        qza += std::string(c.extra, 'x');
        files.Write("q.qza", qza);
        Result r = Run("profile import '" + (files / "q.qza") + "'");
        EXPECT_EQ(r.code, c.code) << r.err;
    }
    EXPECT_TRUE(platform::FileExists(data / "Mac/a_b.qzm"));
    EXPECT_TRUE(platform::FileExists(data / "Mac/_.qzm"));

    files.Write("short.qza", exported.substr(0, 2115));
    Result r = Run("profile import '" + (files / "short.qza") + "'");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("not a valid profile"), std::string::npos) << r.err;
}

}  // namespace

#endif

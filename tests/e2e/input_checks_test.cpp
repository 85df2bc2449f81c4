// Every way into the zorvan command is checked alike: imported files, the configuration, the
// command line, the mouse's own memory, and the texts it prints.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "macro/macro_file.h"
#include "macro/st_macro.h"
#include "platform/fs.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

#ifdef ZV_CLI_PATH

namespace {

using Result = zvtest::CliResult;

// Offsets in an exported profile record.
constexpr size_t kNameAt = 528;
constexpr size_t kSleepAt = 1904;
constexpr size_t kLodAt = 1892;
constexpr size_t kDebounceAt = 1908;
constexpr size_t kAutoSleepAt = 1924;
constexpr size_t kDpiAt = 1752;

void PutLe32(std::string& bytes, size_t at, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
}

class InputChecks : public ::testing::Test {
  protected:
    Result Run(const std::string& args, const std::string& cfg = "") {
        return zvtest::RunCommand(
            ZV_CLI_PATH,
            "--sim='" + (files / "mouse.sim") + "' " +
                (cfg.empty() ? zvtest::ShippedCfgArg() : "--cfg '" + cfg + "'") + " --data-dir '" +
                data.path() + "' " + args,
            files);
    }
    // The mouse's current profile as an export file, to be changed and imported.
    std::string Exported(const std::string& cfg = "") {
        const Result r = Run("profile export '" + (files / "p.qza") + "'", cfg);
        EXPECT_EQ(r.code, 0) << r.err;
        return files.Read("p.qza");
    }
    // The shipped cfg.ini with one line changed, in a folder of its own.
    std::string CfgWith(const std::string& from, const std::string& to) {
        std::vector<uint8_t> shipped;
        EXPECT_TRUE(platform::ReadFile(zvtest::SourceDir() + "/data/cfg.ini", shipped));
        std::string text(shipped.begin(), shipped.end());
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
        cfgDir.Write("cfg.ini", text);
        return cfgDir / "cfg.ini";
    }

    zvtest::TempDir data, files, cfgDir;
};

TEST_F(InputChecks, AnImportedProfileTakesOnlyValuesSetWouldTake) {
    std::string file = Exported();
    PutLe32(file, kLodAt, 77);
    PutLe32(file, kDebounceAt, 100000);
    PutLe32(file, kSleepAt, -10);
    PutLe32(file, kAutoSleepAt, 1000000);
    files.Write("bad.qza", file);
    Result r = Run("profile import '" + (files / "bad.qza") + "'");
    ASSERT_EQ(r.code, 0) << r.err;
    for (const char* said : {"lift-off distance 77 (1 used)", "debounce 100000 (30 used)",
                             "sleep -10 (", "auto sleep 1000000 (6 used)"})
        EXPECT_TRUE(r.Says(said)) << said << "\n" << r.err;
    // What the mouse holds, read back: nothing cut to a byte.
    r = Run("show");
    ASSERT_EQ(r.code, 0) << r.err;
    for (const char* line : {"lift-off distance: 1\n", "debounce: 30 ms\n", "auto sleep: 60 s\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
    EXPECT_EQ(r.out.find("sleep: -"), std::string::npos) << r.out;
}

TEST_F(InputChecks, AMouseWithoutADpiTableNeverGetsDpiCodeZero) {
    const std::string cfg = CfgWith("Sensor=13205", "Sensor=4660");
    Result r = Run("eeprom read 0x0C 24", cfg);
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string levels = r.out;

    r = Run("set dpi 1 800", cfg);
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.Says("no DPI table")) << r.err;

    std::string file = Exported(cfg);
    for (size_t i = 0; i < 6; ++i) {
        PutLe32(file, kDpiAt + 16 * i, 800);
        PutLe32(file, kDpiAt + 16 * i + 4, 800);
    }
    files.Write("dpi.qza", file);
    r = Run("profile import '" + (files / "dpi.qza") + "'", cfg);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.Says("the file's DPI values are not written")) << r.err;
    EXPECT_EQ(Run("eeprom read 0x0C 24", cfg).out, levels);
}

TEST_F(InputChecks, OneDamagedByteIsNamedAndResetRecoversFromIt) {
    ASSERT_EQ(Run("eeprom write 0 0x03 0x52").code, 0);
    Result r = Run("show");
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.Says("unknown report rate at 0x00 (0x03)")) << r.err;
    EXPECT_TRUE(r.Says("\"zorvan reset\"")) << r.err;
    // With no cache to stand in for the profile, as on a new computer.
    ASSERT_TRUE(platform::RemoveFile(data / "PRO_101a.dct") ||
                !platform::FileExists(data / "PRO_101a.dct"));
    r = Run("reset --yes");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Run("eeprom read 0 2").out, "01 54\n");
    EXPECT_EQ(Run("show").code, 0);
}

TEST_F(InputChecks, AConfigurationThatCannotBeUsedSaysWhy) {
    const struct {
        const char* from;
        const char* to;  // nullptr: the whole file is `from`
        const char* says;
    } cases[] = {
        {"KM=12", "KM=4294967298", "[DEV_1] KM=4294967298 is out of range"},
        {"Retry=3", "Retry=-1", "[OPT] Retry=-1 must be from 1 to 100"},
        {"", nullptr, "no mouse is listed"},
        {"\x01\x02garbage\xff\r\n[DEV", nullptr, "no mouse is listed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        std::string cfg;
        if (c.to) {
            cfg = CfgWith(c.from, c.to);
        } else {
            cfgDir.Write("cfg.ini", c.from);
            cfg = cfgDir / "cfg.ini";
        }
        const Result r = Run("show", cfg);
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.Says(c.says)) << r.err;
        EXPECT_FALSE(r.Says("found")) << r.err;
    }
}

TEST_F(InputChecks, CommandLineValuesWithoutMeaningAreRefused) {
    const struct {
        const char* args;
        const char* says;
    } cases[] = {
        {"--data-dir '' show", "--data-dir needs a folder"},
        {"--data-dir= show", "--data-dir needs a folder"},
        {"eeprom write 0x1AFF 1 2", "a profile's memory ends at 0x1AFF; 0x1AFF to 0x1B00"},
        {"eeprom read 0x1AF0 17", "0x1AF0 to 0x1B00 is past it"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const Result r = Run(c.args);
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.Says(c.says)) << r.err;
    }
    // The last byte itself is there.
    EXPECT_EQ(Run("eeprom write 0x1AFF 0x5A").code, 0);
    EXPECT_EQ(Run("eeprom read 0x1AFF 1").out, "5A\n");
}

TEST_F(InputChecks, NamesFromFilesAreShownWithTheirControlsEscaped) {
    std::string file = Exported();
    const char16_t name[] = u"x\x1b[2J\nprofile 9";
    for (size_t i = 0; i < 20; ++i) {
        const char16_t ch = i < sizeof name / 2 ? name[i] : 0;
        file[kNameAt + 2 * i] = static_cast<char>(ch & 0xFF);
        file[kNameAt + 2 * i + 1] = static_cast<char>(ch >> 8);
    }
    files.Write("name.qza", file);
    ASSERT_EQ(Run("profile import '" + (files / "name.qza") + "'").code, 0);
    Result r = Run("show");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find(": x\\x1b[2J\\x0aprofile 9\n"), std::string::npos) << r.out;

    StMacro m = NewMacroRecord("", 0x30301);
    SetMacroName(m, u"m\x07\x1b]0;t");
    m.events[0] = MacroEvent{0x41, kMacroEventDown, 30};
    m.events[1] = MacroEvent{0x41, 0, 0};
    uint8_t bytes[kStMacroSize];
    MacroFileBytes(m, bytes);
    files.Write("m.qzm", std::string(reinterpret_cast<const char*>(bytes), sizeof bytes));
    ASSERT_EQ(Run("macro import '" + (files / "m.qzm") + "'").code, 0);
    r = Run("macro list");
    EXPECT_NE(r.out.find("m\\x07\\x1b]0;t  (2 events)"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
}

}  // namespace

#endif

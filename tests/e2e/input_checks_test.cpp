// Every way into the zorvan command is checked alike: imported files, the configuration, the
// command line, the mouse's own memory, and the texts it prints.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <functional>
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
    const std::string shown = Run("show").out;
    PutLe32(file, kLodAt, 77);
    PutLe32(file, kDebounceAt, 100000);
    PutLe32(file, kSleepAt, -10);
    PutLe32(file, kAutoSleepAt, 1000000);
    files.Write("bad.qza", file);
    Result r = Run("profile import '" + (files / "bad.qza") + "'");
    ASSERT_EQ(r.code, 0) << r.err;
    for (const char* said :
         {"lift-off distance 77 is not one this mouse takes (1 or 2); kept 1",
          "debounce 100000 is not one this mouse takes (0 to 30 ms); kept ",
          "sleep -10 is not one this mouse takes (30, 60, ", "auto sleep 1000000 is not one"})
        EXPECT_TRUE(r.Says(said)) << said << "\n" << r.err;
    // What the mouse holds, read back: what it held, nothing cut to a byte.
    r = Run("show");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, shown);
}

// Bytes of the mouse's memory as `eeprom read` prints them.
std::vector<int> HexBytes(const std::string& text) {
    std::vector<int> out;
    for (size_t i = 0; i + 1 < text.size(); ++i)
        if (std::isxdigit(static_cast<unsigned char>(text[i])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 1]))) {
            out.push_back(std::stoi(text.substr(i, 2), nullptr, 16));
            ++i;
        }
    return out;
}

constexpr size_t kKeysAt = 572, kKeyBytes = 24, kMacrosAt = 2116;
constexpr size_t kLevelCountAt = 1888, kDpiLightModeAt = 1928;
constexpr int kAny = -1;  // a byte the case does not pin

// A macro of `events` press/release pairs of key A, with these play values.
StMacro TestMacro(const char16_t* name, MacroId id, uint16_t repeat, uint32_t loopMode,
                  int16_t key = 0x41) {
    StMacro m = NewMacroRecord("", id);
    SetMacroName(m, name);
    m.repeatCount = repeat;
    m.LoopMode = loopMode;
    m.events[0] = MacroEvent{key, kMacroEventDown, 30};
    m.events[1] = MacroEvent{key, 0, 0};
    return m;
}

// A file from outside passes the rules a change by hand passes: each value out of bounds keeps
// what the mouse holds (or takes the value the rule gives) and is named in one line, and the
// mouse's memory holds what was said.
TEST_F(InputChecks, ImportedFilesMeetTheLimitsOfAChangeByHand) {
    std::string file = Exported();
    auto keyAt = [](int row, size_t field) { return kKeysAt + row * kKeyBytes + field; };
    auto matrixOf = [&](int row) {
        const uint32_t slot = static_cast<uint8_t>(file[keyAt(row, 4)]);
        return 0x60 + 4 * (slot - 1);
    };
    auto macroIn = [&](int slot, const StMacro& m) {
        uint8_t b[kStMacroSize];
        StMacroToBytes(m, b);
        file.replace(kMacrosAt + slot * kStMacroSize, kStMacroSize,
                     std::string(reinterpret_cast<const char*>(b), sizeof b));
    };
    const struct {
        const char* what;
        std::function<void()> plant;
        const char* says;
        uint32_t addr;
        std::vector<int> bytes;  // empty: as the mouse held them before
    } cases[] = {
        {"DPI beyond the sensor",
         [&] { PutLe32(file, kDpiAt + 16, 70000); },
         "level 2: 70000 DPI is beyond this mouse (26000 at most); kept ",
         0x10,
         {}},
        {"DPI 0",
         [&] { PutLe32(file, kDpiAt + 32, 0); },
         "level 3: 0 DPI is below this mouse's lowest (",
         0x14,
         {}},
        {"eight levels on a six-level mouse",
         [&] { PutLe32(file, kLevelCountAt, 8); },
         "level count 8 is beyond this mouse (6 at most); kept ",
         0x02,
         {}},
        {"DPI light mode 200",
         [&] { PutLe32(file, kDpiLightModeAt, 200); },
         "DPI light mode 200 is not one this mouse takes (0 to 2); kept ",
         0x4C,
         {}},
        {"no left click left",
         [&] { PutLe32(file, keyAt(0, 0), 0x01000013); },
         "button 1: ",
         0,
         {}},
        {"a function the catalogue does not know",
         [&] { PutLe32(file, keyAt(1, 0), 0x09123456); },
         "button 2: function 0x09123456 is not one this mouse offers; kept ",
         0,
         {}},
        {"fire count 7",
         [&] {
             PutLe32(file, keyAt(2, 0), 0x080000A4);
             PutLe32(file, keyAt(2, 16), 0x1407);
         },
         "button 3: a fire count of 7 (0 to 3); kept ",
         0,
         {}},
        {"fire interval 5",
         [&] {
             PutLe32(file, keyAt(3, 0), 0x080000A4);
             PutLe32(file, keyAt(3, 16), 0x0502);
         },
         "button 4: fire interval 5 is below 10; 10 used",
         0,
         {0x04, 0x0A, 0x02}},
        {"repeat count 300",
         [&] {
             macroIn(0, TestMacro(u"Rep", 0x10203, 300, 0));
             PutLe32(file, keyAt(4, 0), 0x05000000);
             PutLe32(file, keyAt(4, 8), 0x10203);
         },
         "macro \"Rep\": repeat count 300 is not one the mouse takes (1 to 250); 250 used",
         0,
         {0x06, kAny, 0xFA}},
        {"a wheel event",
         [&] {
             macroIn(1, TestMacro(u"Wheel", 0x10204, 1, 0, 0xF5));
             PutLe32(file, keyAt(5, 0), 0x05000000);
             PutLe32(file, keyAt(5, 8), 0x10204);
         },
         "macro \"Wheel\": event 1 turns the wheel, which the mouse cannot play",
         0,
         {}},
    };
    // Rows 1 to 6 name their key-matrix records; the others their own address.
    const uint32_t rowAddr[] = {matrixOf(0), matrixOf(1), matrixOf(2),
                                matrixOf(3), matrixOf(4), matrixOf(5)};
    std::vector<std::vector<int>> before;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const uint32_t at = cases[i].addr ? cases[i].addr : rowAddr[i - 4];
        const Result r = Run("eeprom read " + std::to_string(at) + " 3");
        ASSERT_EQ(r.code, 0) << r.err;
        before.push_back(HexBytes(r.out));
    }
    for (const auto& c : cases) c.plant();
    files.Write("bad.qza", file);
    const Result imported = Run("profile import '" + (files / "bad.qza") + "'");
    ASSERT_EQ(imported.code, 0) << imported.err;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(imported.Says(c.says)) << imported.err;
        const uint32_t at = c.addr ? c.addr : rowAddr[i - 4];
        const std::vector<int> now = HexBytes(Run("eeprom read " + std::to_string(at) + " 3").out);
        const std::vector<int>& want = c.bytes.empty() ? before[i] : c.bytes;
        ASSERT_EQ(now.size(), 3u);
        for (size_t b = 0; b < want.size(); ++b)
            if (want[b] != kAny) {
                EXPECT_EQ(now[b], want[b]) << "byte " << b;
            }
    }
    EXPECT_TRUE(imported.Says("button 1: ") && imported.Says("would leave no left click"))
        << imported.err;

    // A single macro file meets the rules of recording and `macro new` alike.
    const struct {
        const char* what;
        StMacro macro;
        int code;
        const char* says;
        const char* shows;  // what `macro show` then says of it
        int repeatByte;     // in the key-matrix code once it is on button 2
    } macros[] = {
        {"repeat count 300", TestMacro(u"R300", 0x20301, 300, 0), 0,
         "repeat count 300 is not one the mouse takes (1 to 250); 250 used", "plays 250 times",
         0xFA},
        {"repeat count 0", TestMacro(u"R0", 0x20302, 0, 0), 0,
         "repeat count 0 is not one the mouse takes (1 to 250); 1 used", "plays 1 times", 0x01},
        {"play mode 9", TestMacro(u"M9", 0x20303, 4, 9), 0,
         "play mode 9 is not one the mouse has; a repeat count used", "plays 4 times", 0x04},
        {"a name the mouse cuts", TestMacro(u"ABCDEFGHIJKLMNOPQRS", 0x20304, 3, 0), 0,
         "cut to \"ABCDEFGHIJKLMNO\"", "plays 3 times", 0x03},
        {"a wheel event", TestMacro(u"W", 0x20305, 1, 0, 0xF6), 1, "turns the wheel", nullptr, 0},
        {"a key without a keyboard code", TestMacro(u"K", 0x20306, 1, 0, 0x07), 1,
         "presses key 0x07, which the mouse cannot play", nullptr, 0},
    };
    for (const auto& c : macros) {
        SCOPED_TRACE(c.what);
        uint8_t bytes[kStMacroSize];
        MacroFileBytes(c.macro, bytes);
        files.Write("m.qzm", std::string(reinterpret_cast<const char*>(bytes), sizeof bytes));
        const Result r = Run("macro import '" + (files / "m.qzm") + "'");
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_TRUE(r.Says(c.says)) << r.err;
        if (!c.shows) continue;
        std::string name = MacroNameUtf8(c.macro).substr(0, 15);
        EXPECT_NE(Run("macro show " + name).out.find(c.shows), std::string::npos);
        ASSERT_EQ(Run("button 2 macro " + name).code, 0);
        const std::vector<int> code =
            HexBytes(Run("eeprom read " + std::to_string(rowAddr[1]) + " 3").out);
        ASSERT_EQ(code.size(), 3u);
        EXPECT_EQ(code[0], 0x06);
        EXPECT_EQ(code[2], c.repeatByte);
    }
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

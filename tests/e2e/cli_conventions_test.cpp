// The zorvan command as people expect a command line to behave: help and usage without the
// device, options anywhere, near misses named, values the mouse does not offer refused, every
// change saying what it stored, and a setting that stands alone written without reading the
// whole profile.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "platform/folder_lock.h"
#include "platform/fs.h"
#include "profile/key_function.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

#ifdef ZV_CLI_PATH

namespace {

using Result = zvtest::CliResult;

class CliConventions : public ::testing::Test {
  protected:
    // `zorvan <args>` with the shipped cfg.ini, this test's data folder and, unless `args`
    // names its own, the virtual mouse; stdin is not a terminal.
    Result Run(const std::string& args, const std::string& globals = "--sim") {
        return zvtest::RunCommand(
            ZV_CLI_PATH,
            globals + " " + zvtest::ShippedCfgArg() + " --data-dir '" + data.path() + "' " + args,
            files);
    }
    std::string Eeprom(const std::string& addrLen) {
        Result r = Run("eeprom read " + addrLen);
        EXPECT_EQ(r.code, 0) << r.err;
        return r.out;
    }
    std::string CachePath() { return data / "PRO_101a.dct"; }

    zvtest::TempDir data, files;
};

TEST_F(CliConventions, HelpAndVersionNeverTouchTheDevice) {
    struct Case {
        const char* args;
        const char* out;
    } cases[] = {
        {"help set", "usage: zorvan set rate"},
        {"set --help", "usage: zorvan set rate"},
        {"--help button", "usage: zorvan button <n>"},
        {"help", "exit codes"},
        {"--version", "zorvan "},
        // Every option is described, with its short form where it has one.
        {"help", "  --sim[=FILE]"},
        {"help", "  --model N|NAME"},
        {"help", "  --cfg FILE"},
        {"help", "  --data-dir DIR"},
        {"help", "  --json"},
        {"help", "  -q, --quiet"},
        {"help", "  -v, --verbose"},
        {"help", "  -y, --yes"},
        {"help", "  -h, --help"},
        {"help", "  -V, --version"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        Result r = Run(c.args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
        // The virtual mouse keeps its memory in the data folder once it is started.
        EXPECT_FALSE(platform::FileExists(data / "sim.bin"));
    }
}

TEST_F(CliConventions, UsageErrorsAreShortAndNameTheNearMiss) {
    struct Case {
        const char* args;
        const char* err;
    } cases[] = {
        {"sho", "unknown command \"sho\" (did you mean show?)"},
        {"set rat 500", "unknown setting \"rat\" (did you mean rate?)"},
        {"button 2 midle", "unknown function \"midle\" (did you mean middle?)"},
        {"button 2 media volume-upp", "(did you mean volume-up?)"},
        {"--jsn show", "unknown option --jsn (did you mean --json?)"},
        {"set light main wav", "unknown main lighting mode \"wav\" (did you mean wave?)"},
        {"set light mian wave",
         "unknown lighting (main, logo or dpi) \"mian\" (did you mean main?)"},
        {"button 2 combo Ctrl+Entr", "unknown key \"Entr\" (did you mean Enter?)"},
        {"set ripple onn", "ripple must be on or off: onn (did you mean on?)"},
        {"set sensor-mode hq", "sensor mode must be hp or lp: hq (did you mean hp?)"},
        {"profile swich 2", "unknown profile command \"swich\" (did you mean switch?)"},
        {"macro shw Reload", "unknown macro command \"shw\" (did you mean show?)"},
        {"eeprom reed 0 2", "unknown eeprom command \"reed\" (did you mean read?)"},
        {"macro delete Rlaod", "no macro named \"Rlaod\" (did you mean Reload?)"},
        {"button 2 macro Relod", "no macro named \"Relod\" (did you mean Reload?)"},
    };
    ASSERT_EQ(Run("macro new Reload down R up R").code, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        Result r = Run(c.args);
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.Says(c.err)) << r.err;
        EXPECT_TRUE(r.Says("usage: zorvan")) << r.err;
        // Not the whole help: the media names are listed only there.
        EXPECT_FALSE(r.Says("media names")) << r.err;
    }
    // The usage of the command that went wrong, not of another one.
    Result r = Run("set rat 500");
    EXPECT_FALSE(r.Says("zorvan button")) << r.err;
}

// The words the completion offers are the command table's: each command and each of its verbs is
// in the help, and run here with no further word, without a mouse: whatever it says, it is never
// that the word is unknown, and a usage error always says what is wrong.
TEST_F(CliConventions, EveryWordOfTheTableReachesItsCommand) {
    auto lines = [](const std::string& text) {
        std::vector<std::string> out;
        size_t start = 0;
        for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            out.push_back(text.substr(start, end - start));
        return out;
    };
    const std::string cli = std::string("env -u ZORVAN_SIM ") + ZV_CLI_PATH;
    const std::vector<std::string> commands =
        lines(zvtest::RunCommand(cli, "__complete ''", files).out);
    ASSERT_GE(commands.size(), 11u);
    const std::string help = zvtest::RunCommand(cli, "help", files).out;
    size_t runs = 0;
    for (const std::string& command : commands) {
        if (command == "help") continue;
        // The help lists every command, and every verb among its command's usage lines.
        EXPECT_TRUE(help.find("\n  " + command + "\n") != std::string::npos ||
                    help.find("\n  " + command + " ") != std::string::npos)
            << command;
        const std::string usage = zvtest::RunCommand(cli, "help " + command, files).out;
        // A command of several verbs offers them as its next word; the others offer a value.
        std::vector<std::string> verbs = {""};
        const std::string next =
            zvtest::RunCommand(cli, "__complete " + command + " ''", files).out;
        if (!next.empty() && usage.find(command + " " + lines(next)[0]) != std::string::npos)
            verbs = lines(next);
        for (const std::string& verb : verbs) {
            const std::string words = command + (verb.empty() ? "" : " " + verb);
            SCOPED_TRACE(words);
            EXPECT_NE(usage.find("zorvan " + words), std::string::npos) << usage;
            Result r = zvtest::RunCommand(
                cli, zvtest::ShippedCfgArg() + " --data-dir '" + data.path() + "' " + words, files);
            ++runs;
            EXPECT_FALSE(r.Says("unknown")) << r.err;
            EXPECT_TRUE(r.code >= 0 && r.code <= 3) << r.code;
            if (r.code == 2) {
                EXPECT_TRUE(r.Says("zorvan: ")) << "a usage error that says nothing";
            }
        }
    }
    EXPECT_GE(runs, 35u);
}

TEST_F(CliConventions, WordsAreCheckedBeforeTheDeviceIsLookedFor) {
    // The fire dialog's rule holds here too: a count beyond 3, an interval below 10.
    for (const char* args :
         {"set rate 300", "set rate fast", "set dpi x 800", "button 2 fire 0 1",
          "button 2 fire 4 10", "button 2 fire 3 9", "set ripple maybe", "set auto-sleep 7"}) {
        SCOPED_TRACE(args);
        Result r = Run(args, "--sim -v");
        EXPECT_EQ(r.code, 2) << r.err;
        EXPECT_FALSE(r.Says("nDevNum=")) << r.err;
    }
}

TEST_F(CliConventions, OptionsStandAnywhereInEitherForm) {
    Result r = Run("show --json");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("{\"profile\":1,", 0), 0u) << r.out;
    const std::string other = files / "other.bin";
    r = Run("set rate 250 --sim=" + other);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(platform::FileExists(other));
    EXPECT_FALSE(platform::FileExists(data / "sim.bin"));
    // A command's own options stay the command's.
    r = Run("set light main steady --brightness 3 --json");
    EXPECT_EQ(r.code, 0) << r.err;
}

TEST_F(CliConventions, ValuesTheMouseDoesNotOfferAreRefusedWithWhatItOffers) {
    const std::string before = Eeprom("0x0C 16") + Eeprom("0x60 24");
    struct Case {
        const char* args;
        const char* err;
    } cases[] = {
        // The first catalogue entry's levels run from 100 to 26000 DPI.
        {"set dpi 3 99999", "DPI of level 3 must be from 100 to 26000: 99999"},
        {"set dpi 3 800:30000", "must be from 100 to 26000: 30000"},
        {"set dpi 7 800", "level must be a number from 1 to 6: 7"},
        // The mouse keeps a sniper value as a table position in one byte.
        {"button 5 sniper 20000", "sniper DPI must be one of 100 200 300"},
        {"button 5 sniper 1234", "sniper DPI must be one of"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        Result r = Run(c.args);
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.Says(c.err)) << r.err;
    }
    EXPECT_EQ(Eeprom("0x0C 16") + Eeprom("0x60 24"), before);
}

TEST_F(CliConventions, EveryChangeSaysWhatWasStored) {
    const std::string qza = files / "p.qza", qzm = files / "m.qzm";
    struct Case {
        std::string args, out;
    } cases[] = {
        {"set dpi 2 1234", "level 2: 1250 DPI (nearest to 1234)\n"},
        {"set dpi 3 2000", "level 3: 2000 DPI\n"},
        {"set rate 250", "rate: 250 Hz\n"},
        {"set debounce 8", "debounce: 8 ms\n"},
        {"set dpi-count 4", "DPI levels: 4, current 1\n"},
        {"set dpi-level 3", "current DPI level: 3\n"},
        {"set auto-sleep 60", "auto sleep: 60 s\n"},
        {"button 5 sniper 800", "button 5: Sniper - 800\n"},
        {"set light main wave --brightness 4 --speed 3 --color '#102030'",
         "main lighting: wave, brightness 4, speed 3, colour #102030\n"},
        {"eeprom write 0xA9 9 0x4C", "2 bytes written at 0x00A9\n"},
        {"profile switch 2", "current profile: 2\n"},
        {"profile export '" + qza + "'", "profile 2: exported to " + qza + "\n"},
        {"reset --yes", "profile 2: factory settings\n"},
        {"profile import '" + qza + "'", "profile 2: imported from " + qza + "\n"},
        {"macro new m1 down A up A", "macro m1: 2 events\n"},
        {"macro export m1 '" + qzm + "'", "macro m1: exported to " + qzm + "\n"},
        {"button 3 macro m1", "button 3: Macro - m1\n"},
        {"macro delete m1",
         "macro m1: deleted; the buttons that played it are back to their defaults\n"},
        {"macro import '" + qzm + "'", "macro m1: imported from " + qzm + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        Result r = Run(c.args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
    }
    ASSERT_EQ(Run("profile switch 1").code, 0);
    Result r = Run("show");
    for (const char* s : {"   2  1250 x 1250", "rate: 250 Hz", "  *3  2000", "  5  Sniper - 800"})
        EXPECT_NE(r.out.find(s), std::string::npos) << s << "\n" << r.out;
    // Quiet: the change is made and nothing is said.
    r = Run("-q set rate 500");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_EQ(Eeprom("0 2"), "02 53\n");
}

// A reset wipes every setting: a script must say it means it, and a person who answers no is
// told that nothing happened.
TEST_F(CliConventions, AResetIsMeantOrCancelled) {
    ASSERT_EQ(Run("set debounce 9").code, 0);
    Result r = Run("reset");
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.Says("without a terminal, give --yes")) << r.err;
    // A terminal on standard input, answered "n".
    const std::string command = std::string(ZV_CLI_PATH) + " --sim " + zvtest::ShippedCfgArg() +
                                " --data-dir '" + data.path() + "' reset";
    std::string quoted;
    for (char c : command) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    r = zvtest::RunCommand("{ printf 'n\\n' | script -qec '" + quoted + "' /dev/null; }", "",
                           files);
    EXPECT_EQ(r.code, 1) << r.out;
    EXPECT_NE(r.out.find("zorvan: reset cancelled"), std::string::npos) << r.out;
    EXPECT_EQ(Eeprom("0xA9 2"), "09 4C\n");
}

// A save that fails fails the command, with the path and the reason, and says that the mouse
// took the change all the same.
TEST_F(CliConventions, AFailedSaveFailsTheCommandAndSaysTheMouseTookIt) {
    ASSERT_EQ(Run("show").code, 0);
    ASSERT_TRUE(platform::SetReadOnly(CachePath(), true));
    Result r = Run("set rate 500");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(
        r.Says("done (rate: 500 Hz), but " + CachePath() + " could not be saved: access denied"))
        << r.err;
    EXPECT_EQ(Eeprom("0 2"), "02 53\n");
}

// A mouse with separate X and Y keeps both codes: X 800 and Y 1600 are distinct bytes.
TEST_F(CliConventions, SeparateXAndYAreBothWritten) {
    ASSERT_EQ(Run("profile export '" + (files / "p.qza") + "'").code, 0);
    // The export's flag for separate X and Y (its little-endian word at 1748), as the
    // performance page sets it.
    std::string qza = files.Read("p.qza");
    ASSERT_GT(qza.size(), 1752u);
    qza[1748] = 1;
    files.Write("p.qza", qza);
    ASSERT_EQ(Run("profile import '" + (files / "p.qza") + "'").code, 0);
    Result r = Run("set dpi 2 800:1600");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "level 2: 800:1600 DPI\n");
    // Level 2's record: x code, y code (50 DPI steps less one), multipliers, check.
    EXPECT_EQ(Eeprom("0x10 4"), "0F 1F 00 27\n");
    r = Run("eeprom read 0x10 4 --json");
    EXPECT_EQ(r.out, "{\"address\":16,\"bytes\":[15,31,0,39]}\n");
    r = Run("show");
    EXPECT_NE(r.out.find("  *2  800 x 1600"), std::string::npos) << r.out;
}

// A file that cannot be read or written is named with what stands in the way, in words: not an
// error number, and not "the folder does not exist" for a folder that is a file.
TEST_F(CliConventions, AFileThatCannotBeUsedIsNamedWithTheReason) {
    files.Write("plain", "x");
    const std::string folder = files.path(), plain = files / "plain";
    const std::string under = plain + "/p.qza";
    struct Case {
        std::string args, says;
    } cases[] = {
        {"profile import '" + folder + "'",
         "zorvan: cannot import " + folder + ": it is a folder, not a file\n"},
        {"macro import '" + folder + "'",
         "zorvan: cannot import " + folder + ": it is a folder, not a file\n"},
        {"profile import '" + (files / "none.qza") + "'",
         "zorvan: cannot import " + (files / "none.qza") + ": the file does not exist\n"},
        {"profile export '" + under + "'",
         "zorvan: cannot save " + under + ": " + plain + " is a file, not a folder\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        Result r = Run(c.args);
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.Says(c.says)) << r.err;
        EXPECT_EQ(r.err.find("rror "), std::string::npos) << r.err;
    }
}

// A setting whose record stands alone goes out as that record: no profile read. The cache
// follows what was written when it holds the mouse's profile, and is not made up from
// defaults when it does not.
TEST_F(CliConventions, OneRecordIsWrittenWithoutReadingTheProfile) {
    Result r = Run("set rate 250", "--sim -v");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_FALSE(r.Says("ReadCurCfgThread Start")) << r.err;
    EXPECT_EQ(Eeprom("0 2"), "04 51\n");
    EXPECT_FALSE(platform::FileExists(CachePath()));

    ASSERT_EQ(Run("show").code, 0);
    const std::string cached = data.Read("PRO_101a.dct");
    r = Run("set debounce 9", "--sim -v");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_FALSE(r.Says("ReadCurCfgThread Start")) << r.err;
    EXPECT_EQ(Eeprom("0xA9 2"), "09 4C\n");
    EXPECT_NE(data.Read("PRO_101a.dct"), cached);
    // The rest of the cached profile is what the mouse holds: a reading changes nothing more.
    const std::string afterSet = data.Read("PRO_101a.dct");
    ASSERT_EQ(Run("show").code, 0);
    EXPECT_EQ(data.Read("PRO_101a.dct"), afterSet);

    // The level chosen must be one in use on the mouse, not in a stale cache.
    ASSERT_EQ(Run("eeprom write 2 2 0x53").code, 0);
    r = Run("set dpi-level 4");
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.Says("from 1 to 2 (the levels in use)")) << r.err;
}

// Lighting and DPI colours are records of their own too. A lighting record also holds what the
// command leaves as it is (here the colour): that part is the mouse's, even when the cache is
// stale.
TEST_F(CliConventions, LightingAndColoursAreWrittenWithoutReadingTheProfile) {
    ASSERT_EQ(Run("show").code, 0);
    // The mouse's main lighting changes behind the cache's back: steady, colour 11 22 33.
    ASSERT_EQ(Run("eeprom write 0xA0 0x02 0x11 0x22 0x33 0xAA 0xFF 0x44").code, 0);
    for (const char* args : {"set light main steady --brightness 5", "set dpi-color 3 '#a1b2c3'"}) {
        SCOPED_TRACE(args);
        Result r = Run(args, "--sim -v");
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_FALSE(r.Says("ReadCurCfgThread Start")) << r.err;
    }
    EXPECT_EQ(Eeprom("0xA0 4"), "02 11 22 33\n");
    EXPECT_EQ(Eeprom("0x34 4"), "A1 B2 C3 3F\n");
    // The cache holds what the mouse holds: a reading changes nothing.
    const std::string afterSet = data.Read("PRO_101a.dct");
    Result r = Run("show");
    EXPECT_NE(r.out.find("main lighting: steady, brightness 5, speed 1, colour #112233"),
              std::string::npos)
        << r.out;
    EXPECT_TRUE(data.Read("PRO_101a.dct") == afterSet) << "the reading changed the cache";

    // A mouse with main and logo lighting: a colour given for one leaves the other's alone,
    // in the cache as in the mouse.
    zvtest::TempDir own;
    const std::string talon = "--sim='" + (own / "sim.bin") + "' --model 2";
    ASSERT_EQ(Run("show", talon).code, 0);
    r = Run("set light logo steady --color '#0a0b0c'", talon);
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string cached = data.Read("PRO_102b.dct");
    r = Run("show", talon);
    EXPECT_NE(r.out.find("logo lighting: steady, brightness 10, speed 3, colour #0a0b0c"),
              std::string::npos)
        << r.out;
    EXPECT_TRUE(data.Read("PRO_102b.dct") == cached) << "the reading changed the cache";
}

// While the mouse holds its lighting, a lighting change is refused whole: it says why, nothing
// reaches the mouse and the cache keeps what the mouse has.
TEST_F(CliConventions, HeldLightingIsRefusedAndLeavesMouseAndCacheAlone) {
    const std::string sim = "--sim='" + (files / "sim.bin") + "'";
    // A write leaves the mouse's state file, which a reading alone does not.
    ASSERT_EQ(Run("set debounce 9", sim).code, 0);
    ASSERT_EQ(Run("show", sim).code, 0);
    const std::string cached = data.Read("PRO_101a.dct");
    const std::string lightBefore = Run("eeprom read 0xA0 7", sim).out;

    std::string state = files.Read("sim.bin");
    const size_t at = state.find("\nlighting=1");
    ASSERT_NE(at, std::string::npos);
    state.replace(at, 11, "\nlighting=0");
    files.Write("sim.bin", state);

    Result r = Run("set light main steady --brightness 5 --color '#0a0b0c'", sim);
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.Says("The lighting cannot be changed right now")) << r.err;
    EXPECT_EQ(Run("eeprom read 0xA0 7", sim).out, lightBefore);
    EXPECT_TRUE(data.Read("PRO_101a.dct") == cached) << "the refused change went into the cache";
}

TEST_F(CliConventions, ResetWaitsForNoWindowAndReadsOnce) {
    ASSERT_EQ(Run("set debounce 9").code, 0);
    Result r = Run("reset --yes", "--sim -v");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.Says("nFlag=0x100,")) << r.err;
    size_t reads = 0;
    for (size_t at = 0; (at = r.err.find("ReadCurCfgThread Start", at)) != std::string::npos; ++at)
        ++reads;
    EXPECT_EQ(reads, 1u) << r.err;
    EXPECT_EQ(Eeprom("0xA9 2"), "04 51\n");
}

// The virtual mouse stands for the catalogue entry chosen, with that entry's factory settings:
// its sensor's DPI coding, its levels, colours, rate, sleep time, lift-off distance and buttons.
TEST_F(CliConventions, ModelPicksTheCatalogueEntryAndItsFactorySettings) {
    struct Case {
        const char* model;
        const char* info;
        std::vector<std::string> show;
    } cases[] = {
        {"1",
         "model: Zorvan Vesper (sensor 3395",
         {"  *2  800 x 800  #0000ff", "   6  26000 x 26000  #00ffff", "rate: 1000 Hz",
          "  5  Forward\n  6  DPI cycle\n", "sleep: 60 s"}},
        {"2",
         "model: Zorvan Talon (sensor 3335",
         {"  *3  1200 x 1200", "   8  12000 x 12000", "rate: 500 Hz",
          "  6  DPI up\n  7  DPI down\n  8  Fire key\n", "lift-off distance: 2", "sleep: 300 s"}},
        {"hive",
         "model: Zorvan Hive (sensor 3370",
         {"  *1  800 x 800  #ff0000", "   5  12800 x 12800  #ffffff", "rate: 500 Hz",
          "  6  DPI cycle\n  7  1\n  8  2\n", "  15  9\n  16  0\n", "sleep: 600 s"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        zvtest::TempDir own;
        const std::string globals = "--sim='" + (own / "sim.bin") + "' --model " + c.model;
        Result r = Run("info", globals);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.out.find(c.info), std::string::npos) << r.out;
        r = Run("show", globals);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_FALSE(r.Says("wrong dpi")) << r.err;
        for (const std::string& s : c.show)
            EXPECT_NE(r.out.find(s), std::string::npos) << s << "\n" << r.out;
    }
    Result r = Run("info", "--sim --model 9");
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.Says("1 Zorvan Vesper, 2 Zorvan Talon, 3 Zorvan Hive")) << r.err;
    // A state file made for another mouse is not shown under the name asked for.
    ASSERT_EQ(Run("set rate 500").code, 0);
    ASSERT_TRUE(platform::FileExists(data / "sim.bin"));
    r = Run("info", "--sim --model talon");
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.Says("is Zorvan Vesper (CID 10, MID 1a), not Zorvan Talon (CID 10, MID 2b)"))
        << r.err;
}

// A catalogue in the system's configuration folder comes before the program's own, and --cfg
// before both.
TEST_F(CliConventions, TheSystemCatalogueComesBeforeTheShippedOne) {
    zvtest::TempDir etc;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(platform::ReadFile(zvtest::SourceDir() + "/data/cfg.ini", bytes));
    std::string ini(bytes.begin(), bytes.end());
    const size_t at = ini.find("Name=Zorvan Vesper");
    ASSERT_NE(at, std::string::npos);
    ini.replace(at, 18, "Name=Site Mouse");
    etc.Write("cfg.ini", ini);
    const std::string program = "ZORVAN_SYSCONFDIR='" + etc.path() + "' " + ZV_CLI_PATH;
    const std::string words = "--sim --data-dir '" + data.path() + "' info";
    Result r = zvtest::RunCommand(program, words, files);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("model: Site Mouse"), std::string::npos) << r.out;
    r = zvtest::RunCommand(program, zvtest::ShippedCfgArg() + " " + words, files);
    EXPECT_NE(r.out.find("model: Zorvan Vesper"), std::string::npos) << r.out;
}

// One writer at a time on a data folder: a second command waits for the first, or says it is
// busy while the folder stays taken; never two commands that both exit 0 with one change lost.
TEST_F(CliConventions, OneWriterAtATimeOnADataFolder) {
    ASSERT_EQ(Run("show").code, 0);
    const std::string cfg = zvtest::SourceDir() + "/data/cfg.ini";
    const std::string z =
        std::string(ZV_CLI_PATH) + " --sim --cfg '" + cfg + "' --data-dir '" + data.path() + "' ";
    for (int round = 0; round < 3; ++round) {
        const std::string rate = round % 2 ? "250" : "500";
        const std::string both = z + "set rate " + rate + " >/dev/null 2>&1 & " + z +
                                 "set debounce " + std::to_string(6 + round) +
                                 " >/dev/null 2>&1; s=$?; wait $! && exit $s";
        ASSERT_EQ(std::system(both.c_str()), 0);
        const Result r = Run("show");
        EXPECT_NE(r.out.find("rate: " + rate + " Hz"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("debounce: " + std::to_string(6 + round) + " ms"), std::string::npos)
            << r.out;
    }

    std::unique_ptr<platform::FolderLock> held;
    ASSERT_EQ(platform::LockFolder(data.path(), 0, &held), platform::FolderLockResult::kTaken);
    Result r = Run("set rate 125");
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.Says("Zorvan is busy (another command or the window is using this data folder)"))
        << r.err;
    held.reset();
    EXPECT_EQ(Eeprom("0 2"), "02 53\n");  // the 500 Hz of the last round
}

// A cfg.ini of the user's own without texts beside it: the shipped texts stand in, so captions
// and the cached profile names are words, not blanks.
TEST_F(CliConventions, ACfgWithoutTextsUsesTheShippedTexts) {
    std::vector<uint8_t> cfg;
    ASSERT_TRUE(platform::ReadFile(zvtest::SourceDir() + "/data/cfg.ini", cfg));
    files.Write("cfg.ini", std::string(cfg.begin(), cfg.end()));
    Result r = Run("--cfg '" + (files / "cfg.ini") + "' show");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("profile 1: Profile 1\nbuttons:\n  1  Left click\n", 0), 0u) << r.out;
}

// The functions of `show --json`, in button order.
std::vector<std::string> JsonFunctions(const std::string& json) {
    std::vector<std::string> out;
    const std::string key = "\"function\":\"";
    for (size_t at = json.find(key); at != std::string::npos; at = json.find(key, at)) {
        at += key.size();
        out.push_back(json.substr(at, json.find('"', at) - at));
    }
    return out;
}

// Lowering the level count does to the level in use what the window does, by the option
// SyncChangeDpiLevel: the first level with it; without it the level stays unless the new count
// leaves it out.
TEST_F(CliConventions, LevelCountFollowsSyncChangeDpiLevel) {
    std::vector<uint8_t> shipped;
    ASSERT_TRUE(platform::ReadFile(zvtest::SourceDir() + "/data/cfg.ini", shipped));
    std::string cfg(shipped.begin(), shipped.end());
    const size_t at = cfg.find("SyncChangeDpiLevel=1");
    ASSERT_NE(at, std::string::npos);
    struct Case {
        char sync;
        const char* count;
        const char* out;
        const char* bytes;  // count and current-level pairs
    } cases[] = {
        {'1', "5", "DPI levels: 5, current 1\n", "05 50 00 55\n"},
        {'0', "5", "DPI levels: 5, current 3\n", "05 50 02 53\n"},
        {'0', "2", "DPI levels: 2, current 1\n", "02 53 00 55\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("sync ") + c.sync + ", count " + c.count);
        cfg[at + 19] = c.sync;
        files.Write("cfg.ini", cfg);
        ASSERT_EQ(Run("set dpi-level 3").code, 0);
        Result r = Run("--cfg '" + (files / "cfg.ini") + "' set dpi-count " + c.count);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(Eeprom("2 4"), c.bytes);
        ASSERT_EQ(Run("set dpi-count 6").code, 0);
    }
}

// --json names a button's function in the words `button` takes, so it can be fed back.
TEST_F(CliConventions, JsonFunctionsFeedBackIntoButton) {
    for (const char* args : {"button 2 combo Ctrl+Shift+C", "button 3 media volume-up",
                             "button 4 fire 3 10", "button 5 sniper 800", "button 6 extra 1"})
        Run(args);  // extra may be refused by this mouse; the others are stored
    Result r = Run("show --json");
    ASSERT_EQ(r.code, 0) << r.err;
    const std::vector<std::string> functions = JsonFunctions(r.out);
    ASSERT_EQ(functions.size(), 6u) << r.out;
    EXPECT_EQ(functions[1], "combo Ctrl+Shift+C");
    EXPECT_EQ(functions[2], "media volume-up");
    EXPECT_EQ(functions[3], "fire 3 10");
    EXPECT_EQ(functions[4], "sniper 800");

    // Fed back, button by button, into another mouse: the same functions come out.
    const std::string other = "--sim='" + (files / "other.bin") + "'";
    for (size_t b = 1; b < functions.size(); ++b) {
        SCOPED_TRACE(functions[b]);
        r = Run("button " + std::to_string(b + 1) + " " + functions[b], other);
        EXPECT_EQ(r.code, 0) << r.err;
    }
    r = Run("show --json", other);
    EXPECT_EQ(JsonFunctions(r.out), functions) << r.out;
}

// Whatever the mouse holds, show --json names it in words `button` takes, and those words
// store the very same bytes: every click and special function of the table and some bursts
// (2 clicks at 50 are the mouse's double click), written straight into button 2's key-matrix
// record.
TEST_F(CliConventions, EveryFunctionTheMouseReportsRoundTrips) {
    std::vector<uint32_t> codes;
    for (const KeyFunction& f : KeyFunctions())
        if (f.rule == MatrixRule::kFixed && f.matrixCode != kNoMatrixCode)
            codes.push_back(f.matrixCode);
    for (uint32_t fire : {0x030A04u, 0x021404u, 0x023204u, 0x033204u}) codes.push_back(fire);
    ASSERT_GE(codes.size(), 16u);
    for (uint32_t code : codes) {
        char hex[64];
        const auto b0 = static_cast<uint8_t>(code), b1 = static_cast<uint8_t>(code >> 8),
                   b2 = static_cast<uint8_t>(code >> 16);
        const auto check = static_cast<uint8_t>(0x55 - b0 - b1 - b2);
        std::snprintf(hex, sizeof hex, "%02X %02X %02X %02X\n", b0, b1, b2, check);
        SCOPED_TRACE(hex);
        char write[96];
        std::snprintf(write, sizeof write, "eeprom write 0x64 0x%02x 0x%02x 0x%02x 0x%02x", b0, b1,
                      b2, check);
        ASSERT_EQ(Run(write).code, 0);
        Result r = Run("show --json");
        ASSERT_EQ(r.code, 0) << r.err;
        const std::vector<std::string> functions = JsonFunctions(r.out);
        ASSERT_GE(functions.size(), 2u) << r.out;
        // Words, as the window names it, not a bare function id.
        EXPECT_NE(functions[1].rfind("0x", 0), 0u) << functions[1];
        // Back to another function first, so the words have to write the code again.
        ASSERT_EQ(Run(code == 0x000201 ? "button 2 middle" : "button 2 right").code, 0);
        r = Run("button 2 " + functions[1]);
        EXPECT_EQ(r.code, 0) << functions[1] << ": " << r.err;
        EXPECT_EQ(Eeprom("0x64 4"), hex) << functions[1];
    }
}

// Every function a shipped mouse leaves the factory with reads back in words `button` takes.
TEST_F(CliConventions, EveryFactoryFunctionOfEachMouseFeedsBack) {
    for (const char* model : {"1", "2", "3"}) {
        SCOPED_TRACE(model);
        zvtest::TempDir own;
        const std::string globals = "--sim='" + (own / "sim.bin") + "' --model " + model;
        Result r = Run("show --json", globals);
        ASSERT_EQ(r.code, 0) << r.err;
        const std::vector<std::string> functions = JsonFunctions(r.out);
        ASSERT_FALSE(functions.empty()) << r.out;
        for (size_t b = 0; b < functions.size(); ++b) {
            r = Run("button " + std::to_string(b + 1) + " " + functions[b], globals);
            EXPECT_EQ(r.code, 0) << "button " << b + 1 << " " << functions[b] << ": " << r.err;
        }
        r = Run("show --json", globals);
        EXPECT_EQ(JsonFunctions(r.out), functions) << r.out;
    }
}

// A fire key of 2 clicks at 50 is the mouse's double click: the command says so and stores
// the double click, so what it says is what show reads back.
TEST_F(CliConventions, FireThatIsTheMousesDoubleClickIsNamedSo) {
    Result r = Run("button 4 fire 2 50");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("button 4: Double click\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("2 clicks at interval 50"), std::string::npos) << r.out;
    EXPECT_EQ(Eeprom("0x6C 4"), "04 32 02 1D\n");
    r = Run("show --json");
    EXPECT_EQ(JsonFunctions(r.out).at(3), "double-click") << r.out;
}

// The shipped udev rule opens every receiver the shipped cfg.ini looks for.
TEST(CliPackaging, UdevRuleNamesTheReceiversOfTheShippedCfg) {
    const IniFile ini = IniFile::Load(zvtest::SourceDir() + "/data/cfg.ini");
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(
        platform::ReadFile(zvtest::SourceDir() + "/packaging/linux/70-zorvan.rules", bytes));
    const std::string rule(bytes.begin(), bytes.end());
    char vendor[64];
    std::snprintf(vendor, sizeof vendor, "ATTRS{idVendor}==\"%04x\"",
                  static_cast<unsigned>(ini.GetInt("OPT", "VID", 0)));
    int products = 0;
    for (const char* key : {"PID", "PID2"}) {
        std::string list = ini.GetString("OPT", key, "", 200);
        for (char& c : list) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (size_t start = 0; start < list.size();) {
            const size_t comma = std::min(list.find(',', start), list.size());
            const std::string line = std::string(vendor) + ", ATTRS{idProduct}==\"" +
                                     list.substr(start, comma - start) + "\", TAG+=\"uaccess\"";
            EXPECT_NE(rule.find(line), std::string::npos) << line << "\n" << rule;
            ++products;
            start = comma + 1;
        }
    }
    EXPECT_EQ(products, 3);
}

}  // namespace

#endif

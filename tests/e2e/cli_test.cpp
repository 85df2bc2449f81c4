// The zorvan command as a user runs it: the built program against the virtual mouse, each run
// from the same fresh data folder so that state goes from one run to the next through the
// virtual mouse's file and the profile cache, as it does for a user.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "platform/fs.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

#ifdef ZV_CLI_PATH

namespace {

using Result = zvtest::CliResult;

class Cli : public ::testing::Test {
  protected:
    // Runs `zorvan --sim --cfg <shipped cfg.ini> --data-dir <fresh folder> <args>`.
    Result Run(const std::string& args, bool sim = true) {
        return zvtest::RunCommand(ZV_CLI_PATH,
                                  std::string(sim ? "--sim " : "") + zvtest::ShippedCfgArg() +
                                      " --data-dir '" + data.path() + "' " + args,
                                  files);
    }
    std::string Eeprom(const std::string& addrLen) {
        Result r = Run("eeprom read " + addrLen);
        EXPECT_EQ(r.code, 0) << r.err;
        return r.out;
    }

    zvtest::TempDir data, files;
};

TEST_F(Cli, ListInfoShow) {
    Result r = Run("list");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("CID 10, MID 1a"), std::string::npos) << r.out;
    r = Run("info");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("battery: 85%"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("onboard profile: 1"), std::string::npos) << r.out;
    r = Run("--json info");
    EXPECT_NE(r.out.find("\"cid\":\"10\""), std::string::npos) << r.out;
    r = Run("show");
    EXPECT_EQ(r.code, 0) << r.err;
    for (const char* s : {"  1  Left click", "  *2  800 x 800  #0000ff", "rate: 1000 Hz",
                          "debounce: 4 ms", "main lighting: breathing, brightness 10, speed 5"})
        EXPECT_NE(r.out.find(s), std::string::npos) << s << "\n" << r.out;
    r = Run("--json show");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("{\"profile\":1,", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\"rate\":1000"), std::string::npos);
}

TEST_F(Cli, SettingsReachTheMouse) {
    struct Case {
        const char* args;
        const char* read;
        const char* bytes;
    } cases[] = {
        {"set rate 500", "0 2", "02 53\n"},
        {"set dpi 1 26000:26000", "0x0C 4", "07 07 88 BF\n"},
        {"set dpi-color 2 '#102030'", "0x30 4", "10 20 30 F5\n"},
        {"set debounce 8", "0xA9 2", "08 4D\n"},
        {"set angle-snap on", "0xAF 2", "01 54\n"},
        {"set sleep 120", "0xAD 2", "0C 49\n"},
        {"set sensor-mode hp", "0xB7 2", "01 54\n"},
        {"set dpi-level 3", "4 2", "02 53\n"},
        {"set light main steady --brightness 10 --color '#010203'", "0xA0 7",
         "02 01 02 03 AA FF A4\n"},
        {"button 2 combo Ctrl+Shift+A", "0x64 4", "05 00 00 50\n"},
        {"button 3 media volume-up", "0x140 8", "02 82 E9 00 42 E9 00 BD\n"},
        {"button 4 fire 3 10", "0x6C 4", "04 0A 03 44\n"},
        // The fire dialog's ends: a count of 0, the longest interval.
        {"button 4 fire 0 255", "0x6C 4", "04 FF 00 52\n"},
        {"set lod 2", "0x0A 2", "02 53\n"},
        {"set ripple on", "0xB1 2", "01 54\n"},
        {"set motion-sync on", "0xAB 2", "01 54\n"},
        {"set auto-sleep 30", "0xB5 2", "03 52\n"},
        {"set light-off-moving on", "0xB3 2", "01 54\n"},
        // The shipped SyncChangeDpiLevel=1: the first level becomes the one in use.
        {"set dpi-count 4", "2 4", "04 51 00 55\n"},
        {"eeprom write 0x1000 1 0x02 255", "0x1000 3", "01 02 FF\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        Result r = Run(c.args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(Eeprom(c.read), c.bytes);
    }
    Result r = Run("show");
    EXPECT_NE(r.out.find("rate: 500 Hz"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  2  Ctrl + Shift + A"), std::string::npos) << r.out;
}

TEST_F(Cli, ProfilesResetAndMacros) {
    ASSERT_EQ(Run("set debounce 9").code, 0);
    Result r = Run("profile export '" + (files / "p.qza") + "'");
    ASSERT_EQ(r.code, 0) << r.err;
    uint64_t size = 0;
    ASSERT_TRUE(platform::GetFileSize(files / "p.qza", size));
    EXPECT_EQ(size, 10456u);

    r = Run("reset --yes");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Eeprom("0xA9 2"), "04 51\n");

    r = Run("profile import '" + (files / "p.qza") + "'");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Eeprom("0xA9 2"), "09 4C\n");

    r = Run("profile switch 4");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Run("info").out.find("onboard profile: 4") != std::string::npos, true);
    EXPECT_NE(Run("show").out.find("rate: 500 Hz"), std::string::npos);

    // A macro file made by the program itself, imported, assigned and deleted again.
    files.Write("empty.qza", "");
    r = Run("profile import '" + (files / "empty.qza") + "'");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Read profile failed."), std::string::npos) << r.err;
}

TEST_F(Cli, MacrosFromFileToButton) {
    // Macro files are 834 bytes rotated right by two bits; this one is "Go": A down 50 ms, A up.
    std::string rec(834, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) rec[at + i] = static_cast<char>(v >> (8 * i));
    };
    put32(0, 0xFACB99A0);
    put32(4, 0x123456);
    put32(12, 1);
    rec[20] = 'G';
    rec[22] = 'o';
    rec[104] = 1;
    rec[106] = 0x41;
    rec[108] = 1;
    rec[110] = 50;
    rec[114] = 0x41;
    for (char& c : rec) {
        uint8_t b = static_cast<uint8_t>(c);
        c = static_cast<char>((b >> 2) | (b << 6));
    }
    files.Write("go.qzm", rec);
    Result r = Run("macro import '" + (files / "go.qzm") + "'");
    ASSERT_EQ(r.code, 0) << r.err;
    r = Run("--json macro list");
    EXPECT_EQ(r.out, "[{\"name\":\"Go\",\"events\":2}]\n");
    r = Run("macro show Go");
    EXPECT_EQ(r.out, "Go: 2 events, plays 1 times\n  down A 50ms\n  up A\n");
    ASSERT_EQ(Run("macro export Go '" + (files / "back.qzm") + "'").code, 0);
    EXPECT_EQ(files.Read("back.qzm"), rec);
    r = Run("button 5 macro Go");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Eeprom("0x70 4"), "06 04 01 4A\n");
    EXPECT_EQ(Eeprom("0x91F 12"), "02 81 04 00 00 32 41 04 00 00 00 57\n");
    r = Run("macro delete Go");
    EXPECT_EQ(r.code, 0) << r.err;
    // The button went back to its default (forward).
    EXPECT_EQ(Eeprom("0x70 4"), "01 10 00 44\n");
}

// The events of an exported macro file: the record's bytes from offset 106, un-rotated.
std::string ExportedEvents(const std::string& file) {
    std::string events = file.substr(106);
    for (char& c : events) {
        const uint8_t b = static_cast<uint8_t>(c);
        c = static_cast<char>(((b << 2) & 0xFF) | (b >> 6));
    }
    return events;
}

TEST_F(Cli, MacroNewTakesTheWordsShowPrints) {
    // Every event kind, delays of different lengths, left and right modifiers apart.
    Result r =
        Run("macro new Go 'down A 300ms up A' move 3,-2 7ms 'down MouseLeft 20ms' "
            "'up MouseLeft' down LShift 1000ms up RShift");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "macro Go: 7 events\n");
    ASSERT_EQ(Run("macro export Go '" + (files / "go.qzm") + "'").code, 0);
    // code (2 bytes), flags (2: press 1, move 2), delay (4), each little-endian.
    const std::string expected(
        "\x41\x00\x01\x00\x2C\x01\x00\x00"
        "\x41\x00\x00\x00\x00\x00\x00\x00"
        "\x03\xFE\x02\x00\x07\x00\x00\x00"
        "\xF0\x00\x01\x00\x14\x00\x00\x00"
        "\xF0\x00\x00\x00\x00\x00\x00\x00"
        "\xA0\x00\x01\x00\xE8\x03\x00\x00"
        "\xA1\x00\x00\x00\x00\x00\x00\x00",
        56);
    const std::string events = ExportedEvents(files.Read("go.qzm"));
    EXPECT_EQ(events.substr(0, 56), expected);
    EXPECT_EQ(events.substr(56), std::string(728 - 56, '\0'));

    r = Run("macro show Go");
    EXPECT_EQ(r.out,
              "Go: 7 events, plays 1 times\n  down A 300ms\n  up A\n  move 3,-2 7ms\n"
              "  down MouseLeft 20ms\n  up MouseLeft\n  down LShift 1000ms\n  up RShift\n");
    // What show prints, and the JSON text, make the same events again.
    std::string shown = r.out.substr(r.out.find('\n') + 1);
    for (char& c : shown)
        if (c == '\n') c = ' ';
    ASSERT_EQ(Run("macro new Again '" + shown + "'").code, 0);
    r = Run("--json macro show Go");
    EXPECT_NE(r.out.find("{\"type\":\"move\",\"dx\":3,\"dy\":-2,\"delay\":7}"), std::string::npos)
        << r.out;
    const size_t text = r.out.find("\"text\":\"") + 8;
    ASSERT_EQ(Run("macro new FromJson '" + r.out.substr(text, r.out.rfind('"') - text) + "'").code,
              0);
    for (const char* copy : {"Again", "FromJson"}) {
        SCOPED_TRACE(copy);
        ASSERT_EQ(Run(std::string("macro export ") + copy + " '" + (files / "copy.qzm") + "'").code,
                  0);
        EXPECT_EQ(ExportedEvents(files.Read("copy.qzm")), events);
    }
}

TEST_F(Cli, MacroNewRefusesWhatTheLibraryOrMouseCannotKeep) {
    ASSERT_EQ(Run("macro new Go down A").code, 0);
    std::string seventyOne;
    for (int i = 0; i < 71; ++i) seventyOne += i % 2 ? " up B" : " down B";
    struct Case {
        std::string args;
        const char* err;
    } cases[] = {
        {"macro new Two down A 5ms dwn A", "event word 4 \"dwn\": not an event"},
        {"macro new Two 'down A' 'up Entr'",
         "event word 4 \"Entr\": not a key the mouse can play "
         "(did you mean Enter?)"},
        {"macro new Two down A 65000ms 536ms", "event word 4 \"536ms\": a delay is at most 65535"},
        {"macro new Two 10ms down A", "event word 1 \"10ms\": a delay follows the event"},
        {"macro new Two move 0,0", "this move goes nowhere"},
        {"macro new Two move -128,1", "each from -127 to 127"},
        {"macro new Two down", "event word 1 \"down\": the key is missing"},
        {"macro new Two" + seventyOne, "event word 142 \"B\": a macro holds at most 70 events"},
        {"macro new GO up A", "a macro named \"Go\" exists already"},
        {"macro new a-b down A", "cannot hold"},
        {"macro new v1.2 down A", "cannot hold"},
        {"macro new Sixteen_letters_ down A", "at most 15 characters"},
        {"macro new Two", "missing events"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        Result r = Run(c.args);
        EXPECT_EQ(r.code, 2);
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    // Seventy events fit.
    Result r = Run("macro new Seventy" + seventyOne.substr(0, seventyOne.size() - 6));
    EXPECT_EQ(r.out, "macro Seventy: 70 events\n") << r.err;
    EXPECT_EQ(Run("macro list").out, "Go  (1 events)\nSeventy  (70 events)\n");
}

TEST_F(Cli, RefusalsAndUsage) {
    struct Case {
        const char* args;
        int code;
        const char* err;
    } cases[] = {
        {"", 2, "no command"},
        {"fly", 2, "unknown command"},
        {"set rate 300", 2, "rate must be"},
        {"set dpi 9 800", 2, "level must be a number from 1 to 6"},
        {"button 2 combo Ctrl+Shift+Alt+Win+A+B", 2, "at most five"},
        {"button 2 media loud", 2, "unknown media key"},
        {"eeprom read 0x10000 1", 2, "address must be"},
        {"--bogus list", 2, "unknown option"},
        {"button 1 off", 1, "At least one button must keep the left click."},
        {"set light logo steady", 1, "no logo lighting"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        Result r = Run(c.args);
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        if (c.code == 2) {
            EXPECT_NE(r.err.find("usage: zorvan"), std::string::npos);
        }
    }
    Result help = Run("--help");
    EXPECT_EQ(help.code, 0);
    for (const char* s : {"volume-up", "PageDown", "breathing", "exit codes"})
        EXPECT_NE(help.out.find(s), std::string::npos) << s;
}

TEST_F(Cli, NoReceiverIsExitCodeThree) {
    // A sim state that cannot be read is refused before any device is touched.
    files.Write("bad.sim", "garbage");
    Result r = Run("--sim='" + (files / "bad.sim") + "' info", false);
    EXPECT_EQ(r.code, 2) << r.err;
    // Without the virtual mouse, this machine's receivers are looked for: there are none here.
    r = Run("info", false);
    EXPECT_EQ(r.code, 3) << r.err;
}

}  // namespace

#endif

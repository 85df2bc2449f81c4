// A profile as JSON, both ways, through the built zorvan against the virtual mouse: what `show
// --json` prints applies back without writing a byte, an edited value writes exactly its own
// bytes, a value the mouse cannot take names its place in the text and nothing at all is
// written, and a change made with --json prints what was stored in the same shape.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "support/cli_run.h"
#include "support/temp_dir.h"

#ifdef ZV_CLI_PATH

namespace {

using Result = zvtest::CliResult;

class CliProfileJson : public ::testing::Test {
  protected:
    std::string Globals() {
        return "--sim " + zvtest::ShippedCfgArg() + " --data-dir '" + data.path() + "'";
    }
    Result Run(const std::string& args) {
        return zvtest::RunCommand(ZV_CLI_PATH, Globals() + " " + args, files);
    }
    // `zorvan --json show | zorvan profile apply -`, as a shell runs it.
    Result ShowPipedIntoApply() {
        const std::string z = std::string(ZV_CLI_PATH) + " " + Globals();
        const std::string cmd = z + " --json show </dev/null | " + z + " profile apply - >'" +
                                (files / "out") + "' 2>'" + (files / "err") + "'";
        const int status = std::system(cmd.c_str());
        Result r;
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = files.Read("out");
        r.err = files.Read("err");
        return r;
    }
    std::string ShowJson() {
        Result r = Run("--json show");
        EXPECT_EQ(r.code, 0) << r.err;
        return r.out;
    }
    // The whole of the profile's memory, one byte a word.
    std::vector<std::string> Memory() {
        Result r = Run("eeprom read 0 0x1B00");
        EXPECT_EQ(r.code, 0) << r.err;
        std::vector<std::string> bytes;
        for (size_t i = 0; i + 1 < r.out.size(); i += 3) bytes.push_back(r.out.substr(i, 2));
        EXPECT_EQ(bytes.size(), 0x1B00u);
        return bytes;
    }
    // The virtual mouse's whole state: memory, current profile and level.
    std::string State() { return data.Read("sim.bin"); }
    Result Apply(const std::string& json) {
        files.Write("p.json", json);
        return Run("profile apply '" + (files / "p.json") + "'");
    }

    zvtest::TempDir data, files;
};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

TEST_F(CliProfileJson, ShowAppliedBackChangesNothing) {
    // A profile with something of every kind the words can say: a macro, a combination, a
    // media key, a burst, another rate and a colour.
    ASSERT_EQ(Run("macro new hid 'down A 20ms up A'").code, 0);
    for (const char* args :
         {"button 2 combo Ctrl+Shift+A", "button 3 media volume-up", "button 4 fire 3 10",
          "button 5 macro hid", "set rate 250", "set dpi-color 3 '#102030'"})
        ASSERT_EQ(Run(args).code, 0) << args;
    const std::vector<std::string> before = Memory();
    const std::string state = State();

    const Result r = ShowPipedIntoApply();
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "profile 1: the mouse holds all of it already; nothing written\n");
    EXPECT_EQ(State(), state);
    EXPECT_EQ(Memory(), before);
}

TEST_F(CliProfileJson, AnEditedValueWritesExactlyItsBytes) {
    const std::string shown = ShowJson();
    const std::vector<std::string> before = Memory();
    // Four values of four records, each telling itself apart from the others.
    std::string edited = Replaced(shown, R"("x":400,"y":400)", R"("x":26000,"y":26000)");
    edited = Replaced(edited, R"("rate":1000)", R"("rate":500)");
    edited = Replaced(edited, R"("level":2,"x":800,"y":800,"color":"#0000ff")",
                      R"("level":2,"x":800,"y":800,"color":"#102030")");
    edited = Replaced(edited, R"("debounce":4)", R"("debounce":8)");
    const Result r = Apply(edited);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "profile 1: applied from " + (files / "p.json") +
                         ": dpi.levels[0].x, dpi.levels[1].color, rate, debounce\n");

    const std::map<size_t, std::string> expected = {
        {0x00, "02"}, {0x01, "53"},                              // rate 500
        {0x0C, "07"}, {0x0D, "07"}, {0x0E, "88"}, {0x0F, "BF"},  // level 1 at 26000
        {0x30, "10"}, {0x31, "20"}, {0x32, "30"}, {0x33, "F5"},  // level 2's colour
        {0xA9, "08"}, {0xAA, "4D"},                              // debounce 8
    };
    const std::vector<std::string> after = Memory();
    ASSERT_EQ(after.size(), before.size());
    for (size_t a = 0; a < after.size(); ++a) {
        const auto e = expected.find(a);
        SCOPED_TRACE(a);
        EXPECT_EQ(after[a], e == expected.end() ? before[a] : e->second);
    }
}

TEST_F(CliProfileJson, ARefusedValueNamesItsPlaceAndNothingIsWritten) {
    const std::string shown = ShowJson();
    const std::string state = State();
    struct Case {
        std::vector<std::pair<std::string, std::string>> edits;
        const char* error;
    } cases[] = {
        // A value the mouse takes (read first) beside one it does not: neither is written.
        {{{R"("color":"#ff0000")", R"("color":"#102030")"}, {R"("rate":1000)", R"("rate":300)"}},
         "rate: 300 is not a rate this mouse takes (125, 250, 500 or 1000)"},
        {{{R"("x":1600,"y":1600)", R"("x":70000,"y":1600)"}},
         "dpi.levels[2].x: 70000 is beyond this mouse (26000 at most)"},
        {{{R"("function":"right")", R"("function":"rigth")"}},
         "buttons[1].function: unknown function \"rigth\" (did you mean right?)"},
        // A macro's name is the whole rest, blanks and all.
        {{{R"("function":"right")", R"("function":"macro  Two  words")"}},
         "buttons[1].function: no macro named \"Two  words\""},
        {{{R"("rate":1000)", R"("rate":"1000")"}}, "rate: expected a number, not a string"},
        {{{R"("lod":1)", R"("lod":1.5)"}}, "lod: expected a whole number, not 1.5"},
        {{{R"("lod":1)", R"("lod":1,"lift_off":2)"}}, "lift_off: unknown key"},
        {{{R"("dpi_light":{"mode")", R"("dpi_light":{"mdoe")"}},
         "dpi_light.mdoe: unknown key (did you mean mode?)"},
        {{{R"("main_light":{"mode":"breathing")", R"("main_light":{"mode":"wav")"}},
         "main_light.mode: unknown mode \"wav\" (did you mean wave?)"},
        {{{R"("dpi":{"count":6)", R"("dpi":{"count":9)"}},
         "dpi.count: 9 is not a level count this mouse takes (1 to 6)"},
        {{{R"("function":"left")", R"("function":"right")"}},
         "buttons[0].function: it would leave the mouse without a left click"},
        {{{R"({"profile":1)", R"({"profile":2)"}}, "profile: the text is of profile 2"},
        {{{R"({"button":2,)", R"({"button":1,)"}}, "buttons[1].button: button given twice"},
        {{{R"({"level":6,)", R"({"level":7,)"}},
         "dpi.levels[5].level: 7 is not a level of this mouse (1 to 6)"},
        {{{R"("dpi_light")", R"("dpi_light":[[[[[[[[[[[[[[[[[[1]]]]]]]]]]]]]]]]]],"x")"}},
         "nested deeper than 16 levels"},
    };
    for (const Case& c : cases) {
        std::string edited = shown;
        for (const auto& [from, to] : c.edits) edited = Replaced(edited, from, to);
        SCOPED_TRACE(edited);
        const Result r = Apply(edited);
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.Says(c.error)) << r.err;
        EXPECT_TRUE(r.Says("nothing was written")) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(State(), state);
    }
    // Cut short, as a pipe that broke would leave it; and far larger than any profile.
    for (const std::string& text :
         {shown.substr(0, shown.size() / 2), "{\"name\":\"" + std::string(70000, 'x') + "\"}"}) {
        const Result r = Apply(text);
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.Says("cut short") || r.Says("larger than 64 KiB")) << r.err;
        EXPECT_EQ(State(), state);
    }
}

TEST_F(CliProfileJson, JsonOnAChangePrintsWhatWasStoredAndAppliesBack) {
    struct Case {
        const char* args;
        const char* out;
    } cases[] = {
        {"--json set rate 500", "{\"profile\":1,\"rate\":500}\n"},
        {"set dpi 3 2400 --json",
         "{\"profile\":1,\"dpi\":{\"levels\":[{\"level\":3,\"x\":2400,\"y\":2400,"
         "\"color\":\"#00ff00\"}]}}\n"},
        {"--json button 2 combo Ctrl+Shift+A",
         "{\"profile\":1,\"buttons\":[{\"button\":2,\"function\":\"combo Ctrl+Shift+A\","
         "\"caption\":\"Ctrl + Shift + A\"}]}\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const Result r = Run(c.args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
        // What it printed is what the mouse holds: applying it changes nothing.
        const std::string state = State();
        const Result again = Apply(r.out);
        EXPECT_EQ(again.code, 0) << again.err;
        EXPECT_NE(again.out.find("nothing written"), std::string::npos) << again.out;
        EXPECT_EQ(State(), state);
    }
}

}  // namespace

#endif

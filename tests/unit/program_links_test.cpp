// Programs linked to onboard profiles: when the follower switches, what the links file holds
// byte for byte, what a damaged links file leaves usable, the switch waiting for a read, and
// the linked-programs window's rows.
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/language_texts.h"
#include "platform/fs.h"
#include "profile/apply_thread.h"
#include "support/log_lines.h"
#include "support/sim_link.h"
#include "support/temp_dir.h"
#include "ui/device_session.h"
#include "ui/program_links.h"

namespace {

ProgramLinks GameLinks() {
    ProgramLinks l;
    l.defaultProfile = 0;
    l.Set("Game.exe", 1);
    l.Set("tool.exe", kLinkDefault);
    return l;
}

// One focus change after another, with the switch each one asks for (-1: none).
TEST(ProfileFollower, SwitchesOnlyWhenTheWantedProfileChangesAndDiffers) {
    ProfileFollower f;
    f.SetLinks(GameLinks());
    f.SetMouseProfile(0);
    struct Step {
        const char* program;
        int mouseSetTo;  // the user switched by hand before this step; -2 nothing
        int expect;
    };
    const Step steps[] = {
        {"explorer.exe", -2, -1},  // the default, and the mouse is on it
        {"GAME.EXE", -2, 1},       // linked: named without regard to case
        {"game.exe", -2, -1},      // another window of the same program
        {"", -2, -1},              // a window whose program is not known
        {"game.exe", -2, -1},
        {"notepad.exe", -2, 0},  // back to the default
        {"tool.exe", -2, -1},    // linked to the default: nothing changes
        {"calc.exe", 3, -1},     // the user chose profile 4 by hand: kept between programs
        {"game.exe", -2, 1},
        {"game.exe", 1, -1},
    };
    for (const Step& s : steps) {
        if (s.mouseSetTo != -2) f.SetMouseProfile(s.mouseSetTo);
        EXPECT_EQ(f.OnForeground(s.program), s.expect) << s.program;
    }
}

TEST(ProfileFollower, WithoutLinksNothingListensOrSwitches) {
    ProfileFollower f;
    ProgramLinks l;
    l.defaultProfile = 2;
    f.SetLinks(l);
    f.SetMouseProfile(0);
    EXPECT_FALSE(f.Active());
    EXPECT_EQ(f.OnForeground("game.exe"), -1);
    f.SetLinks(GameLinks());
    EXPECT_TRUE(f.Active());
}

TEST(ProgramNames, UsableNamesAndRefusals) {
    struct Case {
        std::string given;
        const char* name;  // nullptr: refused
    };
    const Case cases[] = {
        {"notepad.exe", "notepad.exe"},
        {"C:\\Games\\Hive\\Hive.EXE", "Hive.EXE"},
        {"/opt/wine/game.exe", "game.exe"},
        {"notepad", nullptr},
        {".exe", nullptr},
        {"a=b.exe", nullptr},
        {";x.exe", nullptr},
        {"[x].exe", nullptr},
        {"tab\t.exe", nullptr},
        {std::string(252, 'x') + ".exe", nullptr},
    };
    for (const Case& c : cases) {
        const auto n = ProgramNameOf(c.given);
        if (c.name) {
            ASSERT_TRUE(n) << c.given;
            EXPECT_EQ(*n, c.name);
        } else {
            EXPECT_FALSE(n) << c.given;
        }
    }
    EXPECT_TRUE(ProgramNameOf(std::string(251, 'x') + ".exe"));
}

TEST(ProgramLinksFile, WrittenAndReadBackAsTheyAre) {
    zvtest::TempDir dir;
    ProgramLinks l;
    l.defaultProfile = 2;
    l.Set("Hive.exe", 3);
    l.Set("notepad.exe", 1);
    l.Set("tool.exe", kLinkDefault);
    ASSERT_TRUE(SaveProgramLinks(dir.path(), l, true));
    EXPECT_EQ(dir.Read(kLinksFileName),
              "[OPT]\r\nDefault=3\r\n[Programs]\r\nHive.exe=4\r\nnotepad.exe=2\r\n"
              "tool.exe=default\r\n");
    int skipped = -1;
    const ProgramLinks back = LoadProgramLinks(dir.path(), &skipped);
    EXPECT_EQ(skipped, 0);
    EXPECT_EQ(back.defaultProfile, 2);
    ASSERT_EQ(back.links.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back.links[i].program, l.links[i].program);
        EXPECT_EQ(back.links[i].profile, l.links[i].profile);
    }
    // A missing file is no links and no complaint.
    const ProgramLinks none = LoadProgramLinks(dir / "nowhere", &skipped);
    EXPECT_TRUE(none.links.empty());
    EXPECT_EQ(skipped, 0);
}

// A file edited by hand or damaged: each unusable entry is skipped with a line in the log, the
// rest is used, and the first save keeps the old file beside the new one.
TEST(ProgramLinksFile, DamagedEntriesSkippedLoggedAndKept) {
    zvtest::TempDir dir;
    zvtest::LogLines log;
    const std::string text =
        "[OPT]\nDefault=9\n[Programs]\ngood.exe=2\nbad.exe=5\nnoexe=1\nc:\\x\\y.exe=1\n"
        "GOOD.EXE=3\nother.exe=default\n";
    dir.Write(kLinksFileName, text);
    int skipped = 0;
    ProgramLinks l = LoadProgramLinks(dir.path(), &skipped);
    EXPECT_EQ(skipped, 5);
    EXPECT_EQ(l.defaultProfile, 0);
    ASSERT_EQ(l.links.size(), 2u);
    EXPECT_EQ(l.links[0].program, "good.exe");
    EXPECT_EQ(l.links[0].profile, 1);
    EXPECT_EQ(l.links[1].profile, kLinkDefault);
    EXPECT_EQ(log.Count("bad.exe skipped: profile \"5\""), 1);
    EXPECT_EQ(log.Count("second link of GOOD.EXE skipped"), 1);
    EXPECT_EQ(log.Count("default profile \"9\""), 1);

    l.Set("new.exe", 0);
    ASSERT_TRUE(SaveProgramLinks(dir.path(), l, true));
    EXPECT_EQ(dir.Read(std::string(kLinksFileName) + ".bak"), text);
    // Once saved, the file reads without a skip, and a further save keeps the backup as it is.
    EXPECT_EQ((LoadProgramLinks(dir.path(), &skipped), skipped), 0);
    ASSERT_TRUE(SaveProgramLinks(dir.path(), l, true));
    EXPECT_EQ(dir.Read(std::string(kLinksFileName) + ".bak"), text);
}

TEST(ProgramLinksFile, BoundsOfTheFile) {
    zvtest::TempDir dir;
    zvtest::LogLines log;
    std::string many = "[Programs]\n";
    for (int i = 0; i < kMaxProgramLinks + 3; ++i) many += "p" + std::to_string(i) + ".exe=1\n";
    dir.Write(kLinksFileName, many);
    int skipped = 0;
    EXPECT_EQ(LoadProgramLinks(dir.path(), &skipped).links.size(),
              static_cast<size_t>(kMaxProgramLinks));
    EXPECT_EQ(skipped, 3);
    // A file far larger than any list of links is not read into memory at all.
    dir.Write(kLinksFileName, "[Programs]\n" + std::string(300 * 1024, ';'));
    EXPECT_TRUE(LoadProgramLinks(dir.path(), &skipped).links.empty());
    EXPECT_EQ(skipped, 1);
    EXPECT_EQ(log.Count("cannot be read"), 1);
}

}  // namespace

namespace {

int SwitchesSent(const zvtest::SimLink& mouse, int* lastIndex) {
    int n = 0;
    for (const auto& r : mouse.Sent())
        if (r[1] == 0x10) {
            ++n;
            *lastIndex = r[6];
        }
    return n;
}

// A switch in the middle of a profile read would have the read mix two profiles: it waits.
TEST(QueueProfileSwitch, WaitsForTheReadRunning) {
    zvtest::SimLink mouse;
    ASSERT_TRUE(mouse.Ready());
    StartApplyThread(&mouse.drv, g_MacroList, {});
    std::unique_lock<std::mutex> reading(ConfigReadLock());
    bool taken = false;
    QueueProfileSwitch(mouse.drv, 2, [&](bool ok) { taken = ok; });
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    int index = -1;
    EXPECT_EQ(SwitchesSent(mouse, &index), 0);
    reading.unlock();
    ASSERT_TRUE(WaitApplyDone(5000));
    EXPECT_EQ(SwitchesSent(mouse, &index), 1);
    EXPECT_EQ(index, 2);
    EXPECT_TRUE(taken);
    int current = -1;
    mouse.rx->WithMouse([&](sim::VirtualMouse& m) { current = m.State().profile; });
    EXPECT_EQ(current, 2);
    StopApplyThread();
}

}  // namespace

namespace {

TEST(LinksEditor, RowsAddRemoveAndProfiles) {
    ASSERT_TRUE(LoadTexts(zvtest::SourceDir() + "/data/text.xml"));
    ProgramLinks start;
    start.defaultProfile = 0;
    start.Set("hive.exe", 2);
    LinksEditor e(start);
    ASSERT_EQ(e.Rows(), 2);
    EXPECT_EQ(e.RowProgram(0), "Other programs");
    EXPECT_EQ(e.RowProfile(0), "Profile 1");
    EXPECT_EQ(e.RowProfile(1), "Profile 3");
    // A typed path is cut to its file name; a new link does not take the default's profile.
    EXPECT_EQ(e.Add("C:\\Games\\Vesper.exe"), "");
    EXPECT_EQ(e.Selected(), 2);
    EXPECT_EQ(e.RowProgram(2), "Vesper.exe");
    EXPECT_EQ(e.RowProfile(2), "Profile 2");
    EXPECT_EQ(e.Add("notepad"), "tc_links_bad");
    // A program already linked is only selected.
    EXPECT_EQ(e.Add("HIVE.EXE"), "");
    EXPECT_EQ(e.Selected(), 1);
    EXPECT_EQ(e.Rows(), 3);
    // The default row cannot follow the default; a link can.
    e.SetProfile(0, kLinkDefault);
    EXPECT_EQ(e.Links().defaultProfile, 0);
    e.SetProfile(0, 3);
    EXPECT_EQ(e.Links().defaultProfile, 3);
    e.SetProfile(2, kLinkDefault);
    EXPECT_EQ(e.RowProfile(2), "Like other programs");
    e.Select(0);
    EXPECT_FALSE(e.RemoveSelected());
    e.Select(1);
    EXPECT_TRUE(e.RemoveSelected());
    ASSERT_EQ(e.Links().links.size(), 1u);
    EXPECT_EQ(e.Links().links[0].program, "Vesper.exe");
    EXPECT_EQ(e.Selected(), 1);

    // Running programs: sorted, each once, without those already linked.
    EXPECT_EQ(RunningProgramChoices({"b.exe", "vesper.exe", "A.exe", "B.EXE", ""}, e.Links()),
              (std::vector<std::string>{"A.exe", "b.exe"}));
}

}  // namespace

// Reading the mouse's profile through the virtual receiver, with the EEPROM bytes the mouse
// holds written by hand. Macro records are packed: their fields are compared as copies (+x).
#include "profile/eeprom_reader.h"

#include <chrono>
#include <future>

#include "e2e/profile_sim.h"
#include "macro/macro_file.h"
#include "macro/macro_id.h"
#include "macro/macro_library_load.h"
#include "platform/fs.h"
#include "support/notice_log.h"
#include "ui/button_assignment.h"

namespace {

using zvtest::LogLines;
using zvtest::SimMouse;

class ProfileRead : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(zvtest::LoadShippedConfig(data)); }
    void TearDown() override { gVar.KeyMask = 0; }

    // A key-matrix record: three code bytes, low first, and the check byte.
    void PokeSlot(SimMouse& m, int slot, uint32_t code) {
        std::vector<uint8_t> r = {static_cast<uint8_t>(code), static_cast<uint8_t>(code >> 8),
                                  static_cast<uint8_t>(code >> 16), 0};
        r[3] = static_cast<uint8_t>(0x55 - r[0] - r[1] - r[2]);
        m.Poke(0x60 + 4 * (slot - 1), r);
    }
    // The macro area of a slot: "A down, 50 ms, A up" under `name` (ASCII).
    void PokeMacro(SimMouse& m, int slot, const std::string& name) {
        std::vector<uint8_t> area(48, 0);
        area[0] = static_cast<uint8_t>(2 * name.size());
        for (size_t i = 0; i < name.size(); ++i) area[1 + 2 * i] = static_cast<uint8_t>(name[i]);
        const uint8_t events[] = {2, 0x81, 0x04, 0x00, 0x00, 0x32, 0x41, 0x04, 0x00, 0x00, 0x00};
        std::copy(std::begin(events), std::end(events), area.begin() + 31);
        m.Poke(0x300 + 384 * (slot - 1), area);
    }
    StMacro LibraryMacro(const std::string& name) {
        StMacro lib = NewMacroRecord(name);
        lib.events[0] = {0x41, kMacroEventDown, 50};
        lib.events[1] = {0x41, 0, 0};
        return lib;
    }

    zvtest::TempDir data;
};

TEST_F(ProfileRead, FactoryProfileOfTheVirtualMouse) {
    SimMouse m;
    ProfileFile p = zvtest::UseNewProfile();
    ASSERT_EQ(GetProfile(&m.drv, p, g_MacroList), 1);
    EXPECT_EQ(p.nRate, 0x1000);
    EXPECT_EQ(gVar.g_nCurDpiLevel, 1);
    EXPECT_EQ(p.nDpiLevels, 6);
    EXPECT_EQ(p.dpi[0].colour, 0x0000FFu);  // red
    EXPECT_EQ(p.dpi[6].unused, 1u);
    EXPECT_EQ(p.nDebounce, 4);
    EXPECT_EQ(p.nSleepTime, 60);
    EXPECT_EQ(p.nAutoSleep, 1);
    EXPECT_EQ(p.nLod, 1);
    // Main lighting: mode code 1 is the page's mode 2, speed code 170 step 5, brightness 255
    // step 10, red.
    EXPECT_EQ(p.mainLight.mode, 2u);
    EXPECT_EQ(p.mainLight.speed, 5u);
    EXPECT_EQ(p.mainLight.brightness, 10u);
    EXPECT_EQ(p.mainLight.colour, 0x0000FFu);
    const uint32_t keys[6] = {0x01000011, 0x01000013, 0x01000012,
                              0x01000015, 0x01000014, 0x080000A9};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(p.keys[0][k].dwFunID, keys[k]) << k;
}

TEST_F(ProfileRead, PollingByteOutsideTheFourRatesFailsTheRead) {
    SimMouse m;
    m.PokePair(0x00, 3);
    ProfileFile p = zvtest::UseNewProfile();
    EXPECT_EQ(GetProfile(&m.drv, p, g_MacroList), 0);
}

TEST_F(ProfileRead, LevelCountNineIsLoggedAndOnlyEightAreTaken) {
    LogLines log;
    SimMouse m;
    m.PokePair(0x02, 9);
    ProfileFile p = zvtest::UseNewProfile();
    ASSERT_EQ(GetProfile(&m.drv, p, g_MacroList), 1);
    EXPECT_EQ(log.Count("!!!!Error: wrong dpi data"), 1);
    EXPECT_EQ(p.nDpiLevels, 8);
}

TEST_F(ProfileRead, UnknownDpiCodeWarnsOnceAndReadsAsZero) {
    // The second mouse's sensor codes DPI values through a table.
    ASSERT_NO_FATAL_FAILURE(zvtest::LoadShippedConfig(data, 0x10, 0x2B));
    SimMouse m(0x10, 0x2B);
    // Level 2 with X code 0xFF: no value of the table.
    m.Poke(0x10, {0xFF, 0x0F, 0x00, static_cast<uint8_t>(0x55 - 0xFF - 0x0F)});
    ProfileFile p = zvtest::UseNewProfile();
    zvtest::NoticeLog told;
    ASSERT_EQ(GetProfile(&m.drv, p, g_MacroList, nullptr, nullptr, told.Sink()), 1);
    EXPECT_EQ(p.dpi[1].x, 0u);
    auto boxes = told.Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Get wrong dpi from device");
    EXPECT_EQ(boxes[0].caption, "Warning");
}

TEST_F(ProfileRead, SlotCodesBecomeTheirFunctions) {
    struct Case {
        uint32_t code;
        uint32_t funId;
        uint32_t parameter;
    } cases[] = {
        {0x023204, 0x01000016, 0},       // double click, not fire
        {0x033204, 0x01000017, 0},       // triple click
        {0x003204, 0x080000A4, 0x3200},  // fire
        {0x000009, 0x080000B0, 0},      {0x000000, 0x080000A2, 0},
    };
    SimMouse m;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        PokeSlot(m, 3, c.code);
        ProfileFile p = zvtest::UseNewProfile();
        ASSERT_EQ(GetProfile(&m.drv, p, g_MacroList), 1);
        EXPECT_EQ(p.keys[0][2].dwFunID, c.funId);
        EXPECT_EQ(p.keys[0][2].dwParameter, c.parameter);
        EXPECT_EQ(p.keys[0][2].MatrixInx, 3u);
    }
}

TEST_F(ProfileRead, UnknownSlotCodeKeepsTheButton) {
    SimMouse m;
    PokeSlot(m, 2, 0x00EE0F);
    ProfileFile p = zvtest::UseNewProfile();
    const KeyInfo before = p.keys[0][1];
    ASSERT_EQ(GetProfile(&m.drv, p, g_MacroList), 1);
    EXPECT_EQ(p.keys[0][1], before);
}

TEST_F(ProfileRead, MacroMatchingTheLibraryLeavesItAlone) {
    SimMouse m;
    PokeMacro(m, 4, "Hi");
    PokeSlot(m, 4, 0x000306);
    StMacro lib = LibraryMacro("hi");
    ASSERT_TRUE(g_MacroList.AddMacroToList(lib));
    ProfileFile p = zvtest::UseNewProfile();
    ASSERT_EQ(GetProfile(&m.drv, p, g_MacroList), 1);
    EXPECT_EQ(g_MacroList.Count(), 1u);
    EXPECT_TRUE(MacrosEqual(*g_MacroList.FindMacroById(lib.id), lib));
    EXPECT_EQ(p.keys[0][3].dwFunID, 0x05000000u);
    EXPECT_EQ(p.keys[0][3].dwMacroID, +lib.id);
}

TEST_F(ProfileRead, MacroDifferingFromTheLibraryReplacesItsEvents) {
    SimMouse m;
    PokeMacro(m, 4, "Hi");
    PokeSlot(m, 4, 0xFE0306);
    StMacro lib = LibraryMacro("Hi");
    lib.events[0].code = 0x42;  // B instead of A
    ASSERT_TRUE(g_MacroList.AddMacroToList(lib));
    ProfileFile p = zvtest::UseNewProfile();
    ASSERT_EQ(GetProfile(&m.drv, p, g_MacroList), 1);
    ASSERT_EQ(g_MacroList.Count(), 1u);
    StMacro now = *g_MacroList.FindMacroById(lib.id);
    EXPECT_EQ(+now.events[0].code, 0x41);
    EXPECT_EQ(+now.events[0].delay, 50u);
    EXPECT_EQ(+now.LoopMode, 2u);
    EXPECT_EQ(p.keys[0][3].dwMacroID, +lib.id);
}

// The library loads on a worker while the window comes up. A read whose macros are matched
// before that load has ended would take the button's macro for a new one: the button would
// name a copy, not the user's macro, and the library would hold the name twice.
TEST_F(ProfileRead, MacroLibraryLoadingInTheBackgroundIsWholeBeforeTheReadMatchesIt) {
    SimMouse m;
    PokeMacro(m, 4, "Hi");
    PokeSlot(m, 4, 0x000306);
    StMacro lib = LibraryMacro("Hi");
    const std::string root = MacroRootFolder();
    ASSERT_TRUE(MakeSureFolderExist(platform::JoinPath(root, "Hi.qzm")));
    for (const char* other : {"Alpha", "Beta"}) {
        StMacro o = LibraryMacro(other);
        ASSERT_TRUE(WriteMacroFile(o, platform::JoinPath(root, std::string(other) + ".qzm")));
    }
    ASSERT_TRUE(WriteMacroFile(lib, platform::JoinPath(root, "Hi.qzm")));

    // The load is held until the read has returned, or for a second when the read waits for
    // it (the read itself, without the mouse's pauses, takes a few milliseconds).
    std::promise<void> readReturned;
    std::shared_future<void> returned = readReturned.get_future().share();
    MacroLibraryLoadArgs load;
    load.beforeWalk = [returned] { returned.wait_for(std::chrono::seconds(1)); };
    StartMacroLibraryLoad(g_MacroList, std::move(load));
    ProfileFile p = zvtest::UseNewProfile();
    SetProfileReadPauses(false);
    const int read = GetProfile(&m.drv, p, g_MacroList);
    SetProfileReadPauses(true);
    readReturned.set_value();
    JoinMacroLibraryLoad();

    ASSERT_EQ(read, 1);
    EXPECT_EQ(p.keys[0][3].dwFunID, 0x05000000u);
    EXPECT_EQ(p.keys[0][3].dwMacroID, +lib.id);
    EXPECT_EQ(GetKeyFunctionText(p.keys[0][3], g_MacroList), GetText("tc_msg25") + " - Hi");
    EXPECT_EQ(g_MacroList.Count(), 3u);
    EXPECT_FALSE(platform::FileExists(platform::JoinPath(root, "Hi (2).qzm")));
}

TEST_F(ProfileRead, NamelessMacroIsKeptUnderTheSlotId) {
    SimMouse m;
    PokeMacro(m, 5, "");
    PokeSlot(m, 5, 0x030406);
    ProfileFile p = zvtest::UseNewProfile();
    ASSERT_EQ(GetProfile(&m.drv, p, g_MacroList), 1);
    EXPECT_EQ(p.keys[0][4].dwMacroID, 0xFFEE00u + 4);
    ASSERT_EQ(g_MacroList.Count(), 1u);
    StMacro added = g_MacroList.Snapshot()[0];
    EXPECT_EQ(+added.id, 0xFFEE00u + 4);
    EXPECT_EQ(+added.repeatCount, 3);
    EXPECT_EQ(CountMacroEvents(added), 2);
    // Read again: the same macro is not added twice.
    ProfileFile again = zvtest::UseNewProfile();
    ASSERT_EQ(GetProfile(&m.drv, again, g_MacroList), 1);
    EXPECT_EQ(g_MacroList.Count(), 1u);
}

TEST_F(ProfileRead, NamedMacrosNewToTheLibraryGetIdsOfTheirOwn) {
    SimMouse m;
    PokeMacro(m, 5, "Go");
    PokeSlot(m, 5, 0x010406);
    PokeMacro(m, 6, "Back");
    PokeSlot(m, 6, 0x010506);
    ProfileFile p = zvtest::UseNewProfile();
    ASSERT_EQ(GetProfile(&m.drv, p, g_MacroList), 1);
    ASSERT_EQ(g_MacroList.Count(), 2u);
    const MacroId go = p.keys[0][4].dwMacroID, back = p.keys[0][5].dwMacroID;
    EXPECT_NE(go, 0u);
    EXPECT_NE(back, 0u);
    EXPECT_NE(go, back);
    EXPECT_NE(go, 0xFFEE00u + 4);
    ASSERT_TRUE(g_MacroList.FindMacroById(go));
    EXPECT_EQ(MacroNameUtf8(*g_MacroList.FindMacroById(go)), "Go");
    ASSERT_TRUE(g_MacroList.FindMacroById(back));
    EXPECT_EQ(MacroNameUtf8(*g_MacroList.FindMacroById(back)), "Back");
    // Read again: found by name, not added twice, the buttons keep the same ids.
    ProfileFile again = zvtest::UseNewProfile();
    ASSERT_EQ(GetProfile(&m.drv, again, g_MacroList), 1);
    EXPECT_EQ(g_MacroList.Count(), 2u);
    EXPECT_EQ(again.keys[0][4].dwMacroID, go);
    EXPECT_EQ(again.keys[0][5].dwMacroID, back);
}

TEST_F(ProfileRead, KeyMaskedButtonKeepsItsAssignment) {
    SimMouse m;
    PokeSlot(m, 3, 0x000000);
    gVar.KeyMask = 4;  // button 2 (0 based)
    ProfileFile p = zvtest::UseNewProfile();
    const KeyInfo before = p.keys[0][2];
    ASSERT_EQ(GetProfile(&m.drv, p, g_MacroList), 1);
    EXPECT_EQ(p.keys[0][2], before);
}

TEST_F(ProfileRead, AbortFlagEndsTheRead) {
    SimMouse m;
    std::atomic<int> abort{1};
    ProfileFile p = zvtest::UseNewProfile();
    EXPECT_EQ(GetProfile(&m.drv, p, g_MacroList, &abort), 0);
}

TEST_F(ProfileRead, NoDeviceFailsUnlessGoWithNoDev) {
    CUSBDriver none;
    ProfileFile p = zvtest::UseNewProfile();
    EXPECT_EQ(GetProfile(&none, p, g_MacroList), 0);
    // Without a mouse every byte reads as zero, and a polling byte of 0 is no rate.
    gVar.GoWithNoDev = 1;
    EXPECT_EQ(GetProfile(&none, p, g_MacroList), 0);
    gVar.GoWithNoDev = 0;
}

TEST(LightingDecoders, StoredBytesBecomePageSteps) {
    struct Case {
        const char* what;
        uint8_t b[7];
        LightBlock want;
    } cases[] = {
        {"steady: no speed table", {2, 1, 2, 3, 99, 100, 0}, {1, 1, 4, 0x030201, {}}},
        {"wave uses S2 and T2", {0, 0, 0, 0, 3, 252, 0}, {3, 8, 10, 0, {}}},
        {"unknown codes give step 1", {7, 9, 9, 9, 1, 1, 0}, {6, 1, 1, 0x090909, {}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LightBlock l;
        EEPROM_To_MainRGB(c.b, l);
        EXPECT_EQ(l, c.want);
    }
    LightBlock off{5, 5, 5, 5, {}};
    const uint8_t offBytes[7] = {4, 1, 1, 1, 1, 1, 0};
    EEPROM_To_MainRGB(offBytes, off);
    EXPECT_EQ(off.mode, 0u);
    EXPECT_EQ(off.speed, 5u);  // only the mode changes

    LightBlock logo;
    const uint8_t logoBytes[10] = {10, 20, 30, 0, 2, 0, 75, 0, 9, 0};
    EEPROM_To_LogoRGB(logoBytes, logo);
    EXPECT_EQ(logo, (LightBlock{2, 0, 3, 0x1E140A, {}}));
}

}  // namespace

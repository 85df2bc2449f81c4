// The battery warning once per discharge, the tray tooltip, the DPI overlay's texts and place,
// and the summary of the profile beside the mouse picture.
#include <gtest/gtest.h>

#include <memory>

#include "base/language_texts.h"
#include "profile/catalogue_state.h"
#include "profile/profile_file.h"
#include "profile/sensor_cfg.h"
#include "support/temp_dir.h"
#include "ui/glance_model.h"

namespace {

// The name shown for the mouse in use is its entry's section (DEV_n for entry n - 1) of the
// catalogue the caller hands in, not of the program's own.
TEST(CatalogueMouseName, NamesTheEntryOfTheCatalogueHandedIn) {
    zvtest::TempDir dir;
    dir.Write("cfg.ini", "[DEV_1]\nName=First\n[DEV_2]\nName=Second\n[DEV_3]\nSensor=1\n");
    const auto catalogue = std::make_unique<CatalogueState>();
    const SensorCfg elsewhere{};
    struct Case {
        const SensorCfg* cfg;
        const char* name;
    };
    const Case cases[] = {
        {&catalogue->SensorCfgs[0], "First"},
        {&catalogue->SensorCfgs[1], "Second"},
        {&catalogue->SensorCfgs[2], ""},  // a section without a name
        {&elsewhere, ""},                 // no entry of this catalogue
        {nullptr, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CatalogueMouseName(dir / "cfg.ini", *catalogue, c.cfg), c.name) << c.name;
}

TEST(LowBatteryWarning, OncePerDischarge) {
    const std::array<uint8_t, 4> critical{10, 40, 70, 100};
    struct Reading {
        int level;
        bool charging;
        bool warns;
    };
    const Reading readings[] = {
        {50, false, false}, {11, false, false}, {10, false, true},   // first at the lowest level
        {9, false, false},  {11, false, false}, {10, false, false},  // a level that wavers
        {12, true, false},  {60, true, false},                       // charged again
        {30, false, false}, {7, false, true},                        // the next discharge
    };
    LowBatteryWarning w;
    int i = 0;
    for (const Reading& r : readings)
        EXPECT_EQ(w.OnReading(r.level, r.charging, critical), r.warns) << i++;
    w.Reset();
    EXPECT_TRUE(w.OnReading(5, false, critical));
}

TEST(TrayTip, NameBatteryAndCharging) {
    ASSERT_TRUE(LoadTexts(zvtest::SourceDir() + "/data/text.xml"));
    EXPECT_EQ(TrayTipText("Zorvan", "", std::nullopt, false), "Zorvan");
    EXPECT_EQ(TrayTipText("Zorvan", "Hive Pro", 64, false), "Zorvan\nHive Pro\nBattery 64 %");
    EXPECT_EQ(TrayTipText("Zorvan", "Hive Pro", 100, true),
              "Zorvan\nHive Pro\nBattery 100 %, charging");
    // The system takes 127 characters; more would be cut in the middle of a character.
    const std::string tip =
        TrayTipText("Zorvan", std::string(60, 'x') + "\xC3\xA9" + std::string(80, 'y'), 5, false);
    EXPECT_EQ(tip, "Zorvan\n" + std::string(60, 'x') + "\xC3\xA9" + std::string(59, 'y'));
}

TEST(DpiOverlay, TextsAndPlace) {
    ASSERT_TRUE(LoadTexts(zvtest::SourceDir() + "/data/text.xml"));
    ProfileFile p;
    p.nDpiLevels = 3;
    p.dpi[0] = {400, 400, 0, 0};
    p.dpi[1] = {800, 1600, 0, 0};
    p.dpi[2] = {3200, 3200, 0, 0};
    const auto second = DpiOverlayTexts(p, 1);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->value, "800 x 1600 DPI");
    EXPECT_EQ(second->level, "Level 2 / 3");
    EXPECT_EQ(DpiOverlayTexts(p, 2)->value, "3200 DPI");
    EXPECT_FALSE(DpiOverlayTexts(p, 3));
    EXPECT_FALSE(DpiOverlayTexts(p, -1));
    const ZvRect r = DpiOverlayRect({0, 0, 1920, 1040}, false);
    EXPECT_EQ(r.right, 1920 - kDpiOverlayMargin);
    EXPECT_EQ(r.bottom, 1040 - kDpiOverlayMargin);
    EXPECT_EQ(r.right - r.left, kDpiOverlayW);
    EXPECT_EQ(DpiOverlayRect({0, 0, 3840, 2100}, true).left,
              3840 - 2 * (kDpiOverlayMargin + kDpiOverlayW));
    EXPECT_TRUE(DpiOverlayOn(std::nullopt, 1));
    EXPECT_FALSE(DpiOverlayOn(0, 1));
    EXPECT_TRUE(DpiOverlayOn(1, 0));
}

}  // namespace

// The buttons page's summary: each line reads the profile's own value (distinct values, so a
// line reading another field shows), and a mouse without a setting has no line for it.
TEST(ProfileSummary, LinesOfTheSettingsTheMouseHas) {
    ASSERT_TRUE(LoadTexts(zvtest::SourceDir() + "/data/text.xml"));
    ProfileFile p;
    p.nDpiLevels = 4;
    p.dpi[0] = {400, 400};
    p.dpi[1] = {800, 1600};
    p.nRate = 0x500;
    p.nLod = 2;
    p.mainLight = {2, 3, 5, 0x112233, {}};
    std::array<LedOption, 7> led{};
    led[1].opt = {3, 5, 0, 0, 1};  // mode 2 takes a colour, mode 3 does not
    SensorCfg all;
    all.ShowDpi = all.ShowUsbRate = all.ShowLOD = all.ShowMainEffect = 1;
    using L = std::vector<SummaryLine>;
    EXPECT_EQ(ProfileSummary(p, all, led, 1), (L{{"DPI", "800 x 1600 DPI"},
                                                 {"Level", "2 / 4"},
                                                 {"Polling rate (Hz)", "500 Hz"},
                                                 {"Lift-off distance", "2 mm"},
                                                 {"Lighting", "Breathing", true, 0x112233}}));
    EXPECT_EQ(ProfileSummary(p, all, led, 0).front(), (SummaryLine{"DPI", "400 DPI"}));

    p.mainLight.mode = 3;  // its own colours: no swatch
    EXPECT_EQ(ProfileSummary(p, all, led, 0).back(), (SummaryLine{"Lighting", "Colour wave"}));

    SensorCfg bare = all;  // no rate, lift-off or lighting on this mouse
    bare.ShowUsbRate = bare.ShowLOD = bare.ShowMainEffect = 0;
    EXPECT_EQ(ProfileSummary(p, bare, led, 0).size(), 2u);
    EXPECT_TRUE(ProfileSummary(p, bare, led, 4).empty()) << "a level the profile does not use";
}

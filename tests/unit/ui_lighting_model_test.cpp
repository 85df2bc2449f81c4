// The lighting page's rules: the modes a device offers, what a mode shows and starts with, the
// colour boxes, the sleep items, and the lighting zone each action asks to write.
#include <gtest/gtest.h>

#include <vector>

#include "app/config.h"
#include "app/gvar.h"
#include "support/temp_dir.h"
#include "ui/lighting_model.h"

namespace {

std::vector<uint32_t> Modes(const std::vector<ModeItem>& items) {
    std::vector<uint32_t> v;
    for (const ModeItem& i : items) v.push_back(i.mode);
    return v;
}

// The LedOpt entries a cfg.ini without them gives.
std::array<LedOption, 7> DefaultLedOptions() {
    zvtest::TempDir dir;
    const std::string appDir = gVar.szAppDir;
    gVar.szAppDir = dir.path();
    EXPECT_EQ(LoadConfiguration(), 1);
    gVar.szAppDir = appDir;
    return gVar.LedOpt;
}

TEST(LightingModel, LedMaskLeavesModesOut) {
    struct Case {
        int32_t mask;
        std::vector<uint32_t> modes;
    } cases[] = {
        {0, {1, 2, 3, 4, 5, 6, 0}},
        {0x40, {1, 2, 3, 4, 5, 6}},  // no "off"
        {0x05, {2, 4, 5, 6, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(Modes(MainModeItems(c.mask)), c.modes) << c.mask;
    EXPECT_EQ(MainModeItems(0x40).back().textKey, std::string("tc_led_mode6"));
    EXPECT_EQ(Modes(LogoModeItems()), (std::vector<uint32_t>{1, 2, 3, 0}));
    EXPECT_EQ(LogoModeItems()[2].textKey, std::string("tc_led_mode4"));

    // A masked mode cannot be chosen either.
    SensorCfg cfg;
    cfg.LedMask = 0x40;
    ProfileFile p;
    p.mainLight.mode = 2;
    EXPECT_FALSE(ChooseMainMode(p, cfg, DefaultLedOptions(), 0).Changed());
    EXPECT_EQ(p.mainLight.mode, 2u);
}

TEST(LightingModel, ChosenModeStartsWithItsValues) {
    const std::array<LedOption, 7> led = DefaultLedOptions();
    const LightingControls wave = MainModeControls(led, 3);
    EXPECT_EQ(wave, (LightingControls{true, true, false, 8, 10}));

    SensorCfg cfg;
    ProfileFile p;
    p.mainLight = {1, 3, 4, 0x112233};
    EXPECT_EQ(ChooseMainMode(p, cfg, led, 3), Request(0x2, 2));
    EXPECT_EQ(p.mainLight.mode, 3u);
    EXPECT_EQ(p.mainLight.speed, 8u);
    EXPECT_EQ(p.mainLight.brightness, 10u);
    EXPECT_EQ(p.mainLight.colour, 0x112233u);
    const LightingView v = ViewLighting(p, cfg, led);
    EXPECT_FALSE(v.controls.colour);
    EXPECT_TRUE(v.controls.speed && v.controls.brightness);

    // Steady has no speed: the record's speed stays; off has nothing at all.
    EXPECT_EQ(ChooseMainMode(p, cfg, led, 1), Request(0x2, 2));
    EXPECT_EQ(p.mainLight.speed, 8u);
    EXPECT_EQ(p.mainLight.brightness, 6u);
    EXPECT_EQ(MainModeControls(led, 0), LightingControls{});
}

TEST(LightingModel, ActionsRequestTheirZone) {
    SensorCfg both;
    both.ShowLogoEffect = 1;
    SensorCfg logoOnly;
    logoOnly.ShowMainEffect = 0;
    logoOnly.ShowLogoEffect = 1;
    ProfileFile p;

    // Each zone keeps its own colour: a pick lands in the zone the controls edit only.
    p.logoLight.colour = 0x123456;
    EXPECT_EQ(SetLightColour(p, both, LightZone::kMain, 0x0000FF), Request(0x2, 2));
    EXPECT_EQ(p.mainLight.colour, 0x0000FFu);
    EXPECT_EQ(p.logoLight.colour, 0x123456u);
    EXPECT_EQ(SetLightColour(p, both, LightZone::kLogo, 0x00FF00), Request(0x2, 1));
    EXPECT_EQ(p.logoLight.colour, 0x00FF00u);
    EXPECT_EQ(p.mainLight.colour, 0x0000FFu);
    // A zone the mouse lacks takes nothing.
    EXPECT_FALSE(SetLightColour(p, logoOnly, LightZone::kMain, 0x0F0F0F).Changed());
    EXPECT_EQ(SetLightColour(p, logoOnly, LightZone::kLogo, 0x00FF00), Request(0x2, 1));
    EXPECT_EQ(p.mainLight.colour, 0x0000FFu);
    // The view of each zone: its own mode's controls and its own values.
    p.mainLight = {2, 4, 9, 0x0000FF, {}};
    p.logoLight = {3, 5, 6, 0x00FF00, {}};
    const LightingView mainView = ViewLighting(p, both, DefaultLedOptions(), LightZone::kMain);
    EXPECT_TRUE(mainView.chooseZone);
    EXPECT_EQ(mainView.zone, LightZone::kMain);
    EXPECT_EQ(mainView.colour, 0x0000FFu);
    EXPECT_EQ(mainView.brightness, 9);
    const LightingView logoView = ViewLighting(p, both, DefaultLedOptions(), LightZone::kLogo);
    EXPECT_EQ(logoView.zone, LightZone::kLogo);
    EXPECT_EQ(logoView.controls, LogoModeControls(3));
    EXPECT_EQ(logoView.colour, 0x00FF00u);
    EXPECT_EQ(logoView.speed, 5);
    EXPECT_EQ(logoView.brightness, 6);
    // A mouse with one zone edits that one whatever was asked.
    EXPECT_EQ(ViewLighting(p, logoOnly, DefaultLedOptions(), LightZone::kMain).zone,
              LightZone::kLogo);
    EXPECT_FALSE(ViewLighting(p, logoOnly, DefaultLedOptions()).chooseZone);
    SensorCfg mainOnly;
    EXPECT_EQ(EditableZone(mainOnly, LightZone::kLogo), LightZone::kMain);
    p.logoLight = {2, 3, 4, 0x00FF00, {}};

    EXPECT_EQ(ChooseLogoMode(p, 2), Request(0x2, 1));
    EXPECT_EQ(CommitLightSlider(p, both, LightSlider::kLogoSpeed, 5), Request(0x2, 1));
    EXPECT_FALSE(CommitLightSlider(p, both, LightSlider::kLogoSpeed, 6).Changed());
    EXPECT_EQ(CommitLightSlider(p, both, LightSlider::kMainSpeed, 9), Request(0x2, 2));
    EXPECT_EQ(p.logoLight.speed, 5u);
    EXPECT_EQ(p.mainLight.speed, 9u);

    // Main brightness runs over the device's LightParam steps.
    SensorCfg narrow;
    narrow.LightParam = 0x0503;
    EXPECT_FALSE(CommitLightSlider(p, narrow, LightSlider::kMainBrightness, 2).Changed());
    EXPECT_EQ(CommitLightSlider(p, narrow, LightSlider::kMainBrightness, 5), Request(0x2, 2));
    EXPECT_FALSE(CommitLightSlider(p, narrow, LightSlider::kMainBrightness, 6).Changed());

    EXPECT_EQ(SetLightOffOnMoving(p, true), Request(0x10000, 0));
    EXPECT_EQ(p.nLightOffOnMoving, 1);
    // A logo-only device shows the logo mode's controls and values.
    p.logoLight.brightness = 7;
    const LightingView v = ViewLighting(p, logoOnly, DefaultLedOptions());
    EXPECT_EQ(v.controls, LogoModeControls(2));
    EXPECT_TRUE(v.controls.speed && v.controls.colour);
    EXPECT_EQ(v.brightness, 7);
    EXPECT_EQ(v.colourLabel, "#00ff00");
    EXPECT_TRUE(v.mainItems.empty());
    EXPECT_TRUE(DeviceHasLighting(logoOnly, kLightDataLogo));
    EXPECT_FALSE(DeviceHasLighting(logoOnly, kLightDataMain));
}

TEST(LightingModel, ColourEditBoxes) {
    ColourEdits e = ReadColourEdits({"300", "16", "abc"});
    EXPECT_EQ(e.colour, 0x0010FFu);
    EXPECT_EQ(e.replaced[0], "255");
    EXPECT_FALSE(e.replaced[1] || e.replaced[2]);
    e = ReadColourEdits({"", "00000000000255", "1"});
    EXPECT_EQ(e.colour, 0x01FF00u);
    // The label reads red, green, blue although the value keeps red in its low byte.
    EXPECT_EQ(ColourLabel(Rgb(255, 0, 0)), "#ff0000");
    EXPECT_EQ(ColourLabel(Rgb(0x12, 0x34, 0x56)), "#123456");
    EXPECT_EQ(ColourLabel(0xFF000000u | Rgb(1, 2, 3)), "#010203");
}

TEST(LightingModel, ColourControlsHitTests) {
    AppOptions o;
    o.ptGradit = {143, 189};
    o.ptGrid = {100, 412};
    o.ptRGBEdit = {150, 133};
    const LightingLayout l = LayoutLighting(o);
    EXPECT_EQ(l.wheel, (ZvRect{143, 189, 316, 362}));
    EXPECT_EQ(l.edits[2], (ZvRect{300, 133, 345, 153}));
    struct Case {
        ZvPoint pt;
        int preset;
    } presets[] = {
        {{100, 412}, 0}, {{121, 433}, 0},  {{122, 412}, -1},  // the swatch is 22 wide
        {{140, 412}, 1}, {{361, 412}, 6},  {{100, 434}, -1},  // 18 apart, rows 10 apart
        {{100, 444}, 7}, {{361, 465}, 13}, {{362, 465}, -1},
    };
    for (const Case& c : presets) EXPECT_EQ(PresetAt(l, c.pt), c.preset) << c.pt.x << "," << c.pt.y;
    // Only the inscribed ellipse of the wheel's square is the wheel.
    struct WheelCase {
        ZvPoint pt;
        bool in;
    } wheel[] = {{{229, 275}, true},  {{143, 275}, true},  {{315, 275}, true},
                 {{229, 189}, true},  {{142, 275}, false}, {{316, 275}, false},
                 {{145, 191}, false}, {{314, 360}, false}};
    for (const WheelCase& c : wheel)
        EXPECT_EQ(InColourWheel(l.wheel, c.pt), c.in) << c.pt.x << "," << c.pt.y;
}

TEST(LightingModel, SleepControlsDisabledForListedReceivers) {
    AppOptions opt;
    opt.PID = {0x1001, 0x1002, 0x1003};
    opt.nPIDNum = 2;
    EXPECT_TRUE(SleepControlsDisabled(opt, 0x1002));
    EXPECT_FALSE(SleepControlsDisabled(opt, 0x1003));  // beyond the list's count
    EXPECT_FALSE(SleepControlsDisabled(opt, 0));
}

TEST(LightingModel, SleepItemsAreTheDevicesValues) {
    SensorCfg cfg;
    cfg.SleepVal = {30, 120, 600, 0, 900};
    const std::vector<SleepItem> items = SleepItems(cfg);
    ASSERT_EQ(items.size(), 3u);  // up to the first 0
    EXPECT_EQ(items[0].text.substr(0, 3), "30 ");
    EXPECT_EQ(items[1].text.substr(0, 2), "2 ");
    EXPECT_EQ(items[2].text.substr(0, 3), "10 ");

    ProfileFile p;
    p.nSleepTime = 60;
    EXPECT_EQ(SetSleepTime(p, cfg, 120), Request(0x4000, 0));
    EXPECT_EQ(p.nSleepTime, 120);
    EXPECT_FALSE(SetSleepTime(p, cfg, 60).Changed());
    EXPECT_FALSE(SetSleepTime(p, cfg, 0).Changed());
    EXPECT_EQ(p.nSleepTime, 120);
    EXPECT_EQ(ViewLighting(p, cfg, DefaultLedOptions()).sleepItem, 1);
}

}  // namespace

// What the mouse picture shows on each zone: the zone's own colour, a cycle for a mode that
// picks its colours, nothing when off or not lit on this mouse; the brightness dims it.
TEST(LightingModel, PreviewShowsEachZonesModeColourAndBrightness) {
    std::array<LedOption, 7> led{};
    led[0].opt = {0, 5, 0, 0, 1};  // mode 1: brightness and a colour
    led[1].opt = {3, 0, 0, 0, 0};  // mode 2: a speed only, its own colours
    SensorCfg cfg;
    cfg.ShowMainEffect = 1;
    cfg.ShowLogoEffect = 1;
    cfg.LightParam = 0x0A01;  // main brightness 1..10
    using K = ZonePreview::Kind;
    const struct {
        const char* what;
        LightZone zone;
        LightBlock block;
        bool logoLit;
        ZonePreview shown;
    } cases[] = {
        {"colour, brightest",
         LightZone::kMain,
         {1, 0, 10, 0xAA112233, {}},
         true,
         {K::kColour, 0x112233, 255}},
        {"colour, faintest",
         LightZone::kMain,
         {1, 0, 1, 0x112233, {}},
         true,
         {K::kColour, 0x112233, kFaintestZone}},
        {"colour, step 4 of 10",
         LightZone::kMain,
         {1, 0, 4, 0x112233, {}},
         true,
         {K::kColour, 0x112233, 149}},
        {"own colours, no brightness",
         LightZone::kMain,
         {2, 3, 1, 0x112233, {}},
         true,
         {K::kCycle, 0, 255}},
        {"off", LightZone::kMain, {0, 3, 10, 0x112233, {}}, true, {}},
        {"logo colour",
         LightZone::kLogo,
         {1, 0, 10, 0x00FF00, {}},
         true,
         {K::kColour, 0x00FF00, 255}},
        {"logo own colours, faintest",
         LightZone::kLogo,
         {3, 2, 1, 0x00FF00, {}},
         true,
         {K::kCycle, 0, kFaintestZone}},
        {"no logo light on this mouse", LightZone::kLogo, {1, 0, 10, 0x00FF00, {}}, false, {}},
    };
    for (const auto& c : cases) {
        ProfileFile p;
        (c.zone == LightZone::kLogo ? p.logoLight : p.mainLight) = c.block;
        // The other zone's block differs, so reading the wrong one shows.
        (c.zone == LightZone::kLogo ? p.mainLight : p.logoLight) = {1, 1, 1, 0x445566, {}};
        cfg.ShowLogoEffect = c.logoLit ? 1 : 0;
        EXPECT_EQ(PreviewZone(p, cfg, led, c.zone), c.shown) << c.what;
    }
}

// The performance page's rules: typed DPI values, the level count, what each control stores
// and requests, and what the page shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <initializer_list>

#include "base/language_texts.h"
#include "profile/eeprom_writer.h"
#include "support/temp_dir.h"
#include "unit/ui_model_fixtures.h"
#include "ui/buttons_page_model.h"
#include "ui/performance_labels.h"
#include "ui/performance_model.h"

namespace {

using zvtest::Steps;
using zvtest::Table;

// Four levels in use, every field of every level told apart from the others.
ProfileFile FourLevels() {
    ProfileFile p;
    p.dwId = 0x123456;
    p.nDpiLevels = 4;
    p.nRate = 0x1000;
    for (uint32_t i = 0; i < kDpiLevels; ++i)
        p.dpi[i] = {400 + 100 * i, 450 + 100 * i, 0x010203u * (i + 1), i >= 4};
    return p;
}

TEST(PerformanceModel, TypedDpiSnapsToTheSensorList) {
    const SensorTable fine = Steps(100, 26000, 50);
    const SensorTable two = Table({100, 200});
    const SensorTable empty = Table({});
    struct Case {
        const SensorTable* table;
        int64_t typed;
        uint32_t expected;
    } cases[] = {
        {&fine, 1234, 1250},                         // nearest: 1250 is 16 away, 1200 is 34
        {&fine, 1250, 1250},                         // exact
        {&two, 150, 100},                            // equally near: the first wins
        {&two, 151, 200},    {&fine, 91534, 26000},  // 65534 from the last entry still matches
        {&fine, 91535, 0},                           // 65535 from every entry matches nothing
        {&fine, -65435, 0},  {&fine, 0, 100},       {&empty, 800, 0}, {nullptr, 800, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(SnapTypedDpi(c.table, c.typed), c.expected);
    }
}

TEST(PerformanceModel, TypedDpiStoresTheLevelAndRequestsIt) {
    const SensorTable fine = Steps(100, 26000, 50);
    ProfileFile p = FourLevels();
    EXPECT_EQ(TypeDpiValue(p, &fine, 2, false, 1234), Request(0x4, 2));
    EXPECT_EQ(p.dpi[2].x, 1250u);
    EXPECT_EQ(p.dpi[2].y, 1250u);  // one value per level: Y follows X

    // Too far from every value: nothing changes, nothing is asked of the mouse.
    const ProfileFile before = p;
    EXPECT_FALSE(TypeDpiValue(p, &fine, 1, false, 100000).Changed());
    EXPECT_EQ(p, before);
    // A Y label only takes a value while X and Y are apart.
    EXPECT_FALSE(TypeDpiValue(p, &fine, 1, true, 800).Changed());
    p.bSeparateXY = 1;
    EXPECT_EQ(TypeDpiValue(p, &fine, 1, true, 810), Request(0x4, 1));
    EXPECT_EQ(p.dpi[1].x, 500u);
    EXPECT_EQ(p.dpi[1].y, 800u);
}

TEST(PerformanceModel, LevelCountKeepsValuesAndMovesTheCurrentLevel) {
    struct Case {
        bool sync;
        int32_t curBefore;
        uint32_t flag;
        int32_t curAfter;
    } cases[] = {
        {true, 1, 0x90, 0},   // SyncChangeDpiLevel: level 0 becomes current
        {false, 1, 0x80, 1},  // the current level is still in use
        {false, 3, 0x90, 0},  // it would lie beyond the count
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sync);
        ProfileFile p = FourLevels();
        int32_t cur = c.curBefore;
        EXPECT_EQ(SetLevelCount(p, cur, 2, 6, c.sync), Request(c.flag, 0));
        EXPECT_EQ(cur, c.curAfter);
        EXPECT_EQ(p.nDpiLevels, 2);
        for (uint32_t i = 0; i < 4; ++i) {
            EXPECT_EQ(p.dpi[i].x, 400 + 100 * i);
            EXPECT_EQ(p.dpi[i].y, 450 + 100 * i);
            EXPECT_EQ(p.dpi[i].colour, 0x010203u * (i + 1));
        }
        // Rows 2 and 3 are hidden, their values stay in the record.
        SensorCfg cfg;
        const PerformanceView v = ViewPerformance(p, cfg, cur);
        EXPECT_TRUE(v.row[1].visible);
        EXPECT_FALSE(v.row[2].visible || v.row[2].colourVisible);
        EXPECT_FALSE(v.row[3].visible);
    }
    ProfileFile p = FourLevels();
    int32_t cur = 0;
    EXPECT_FALSE(SetLevelCount(p, cur, 7, 6, false).Changed());  // beyond the device's levels
    EXPECT_FALSE(SetLevelCount(p, cur, 0, 6, false).Changed());
    EXPECT_EQ(p.nDpiLevels, 4);
}

TEST(PerformanceModel, EachControlStoresItsFieldAndRequestsItsPart) {
    struct Case {
        const char* what;
        std::function<PageChange(ProfileFile&, int32_t&)> act;
        PageChange expected;
        std::function<bool(const ProfileFile&, int32_t)> check;
    } cases[] = {
        {"rate button 2", [](ProfileFile& p, int32_t&) { return SetRateButton(p, 2); },
         Request(0x20, 0), [](const ProfileFile& p, int32_t) { return p.nRate == 0x500; }},
        {"lod 2", [](ProfileFile& p, int32_t&) { return SetLiftOff(p, 2); }, Request(0x200, 0),
         [](const ProfileFile& p, int32_t) { return p.nLod == 2; }},
        {"ripple",
         [](ProfileFile& p, int32_t&) { return SetPerfSwitch(p, PerfSwitch::kRipple, true); },
         Request(0x800, 0),
         [](const ProfileFile& p, int32_t) {
             return p.nRipple == 1 && !p.nFixLine && !p.nMotionSync;
         }},
        {"angle snapping",
         [](ProfileFile& p, int32_t&) { return SetPerfSwitch(p, PerfSwitch::kAngleSnap, true); },
         Request(0x400, 0),
         [](const ProfileFile& p, int32_t) { return p.nFixLine == 1 && !p.nRipple; }},
        {"motion sync",
         [](ProfileFile& p, int32_t&) { return SetPerfSwitch(p, PerfSwitch::kMotionSync, true); },
         Request(0x2000, 0),
         [](const ProfileFile& p, int32_t) { return p.nMotionSync == 1 && !p.nRipple; }},
        {"sensor mode HP", [](ProfileFile& p, int32_t&) { return SetSensorMode(p, true); },
         Request(0x20000, 0), [](const ProfileFile& p, int32_t) { return p.nSensorMode == 1; }},
        {"colour of level 5", [](ProfileFile& p, int32_t&) { return SetDpiColour(p, 5, 0x302010); },
         Request(0x40, 5),
         [](const ProfileFile& p, int32_t) {
             return p.dpi[5].colour == 0x302010 && p.dpi[4].colour == 0x010203u * 5;
         }},
        {"level name 1", [](ProfileFile& p, int32_t& cur) { return SetCurrentLevel(p, cur, 1); },
         Request(0x10, 0), [](const ProfileFile&, int32_t cur) { return cur == 1; }},
        {"level name beyond the count",
         [](ProfileFile& p, int32_t& cur) { return SetCurrentLevel(p, cur, 4); },
         {},
         [](const ProfileFile&, int32_t cur) { return cur == 3; }},
        {"X thumb of level 3",
         [](ProfileFile& p, int32_t&) { return CommitDpiThumb(p, 3, 1, 1600); }, Request(0x4, 3),
         [](const ProfileFile& p, int32_t) { return p.dpi[3].x == 1600 && p.dpi[3].y == 1600; }},
        {"Y thumb with one value per level",
         [](ProfileFile& p, int32_t&) { return CommitDpiThumb(p, 3, 2, 1600); },
         {},
         [](const ProfileFile& p, int32_t) { return p.dpi[3].y == 750; }},
        {"X/Y box off",
         [](ProfileFile& p, int32_t&) {
             p.bSeparateXY = 1;
             return SetSeparateXY(p, false);
         },
         Request(0x4, 255),
         [](const ProfileFile& p, int32_t) { return !p.bSeparateXY && p.dpi[6].y == 1000; }},
        {"effect mode 2", [](ProfileFile& p, int32_t&) { return SetDpiEffectMode(p, 2); },
         Request(0x2, 4), [](const ProfileFile& p, int32_t) { return p.nDpiLightMode == 2; }},
        {"effect slider while the effect is off",
         [](ProfileFile& p, int32_t&) { return CommitDpiEffectSlider(p, false, 7); },
         {},
         [](const ProfileFile& p, int32_t) { return p.nDpiLightBright == 0; }},
        {"effect speed",
         [](ProfileFile& p, int32_t&) {
             p.nDpiLightMode = 2;
             return CommitDpiEffectSlider(p, true, 4);
         },
         Request(0x2, 4),
         [](const ProfileFile& p, int32_t) { return p.nDpiLightSpeed == 4 && !p.nDpiLightBright; }},
        {"pointer speed position 3",
         [](ProfileFile& p, int32_t&) { return CommitPointerSlider(p, PointerSlider::kSpeed, 3); },
         Request(0x8, 0), [](const ProfileFile& p, int32_t) { return p.nPointerSpeed == 4; }},
        {"double click position 2",
         [](ProfileFile& p, int32_t&) {
             return CommitPointerSlider(p, PointerSlider::kDoubleClick, 2);
         },
         Request(0x8, 0), [](const ProfileFile& p, int32_t) { return p.nDbClickTime == 830; }},
        {"one screen at a time",
         [](ProfileFile& p, int32_t&) { return SetScrollOneScreen(p, true, 3); }, Request(0x8, 0),
         [](const ProfileFile& p, int32_t) { return p.nWheelLines == -1; }},
        {"debounce 8",
         [](ProfileFile& p, int32_t&) {
             return SetDebounce(p, 8, {0, 30});
         },
         Request(0x1000, 0), [](const ProfileFile& p, int32_t) { return p.nDebounce == 8; }},
        {"debounce beyond the range",
         [](ProfileFile& p, int32_t&) {
             return SetDebounce(p, 31, {0, 30});
         },
         {},
         [](const ProfileFile& p, int32_t) { return p.nDebounce == 0; }},
        {"auto sleep 1 minute", [](ProfileFile& p, int32_t&) { return SetAutoSleep(p, 6); },
         Request(0x40000, 0), [](const ProfileFile& p, int32_t) { return p.nAutoSleep == 6; }},
        {"auto sleep not in the table",
         [](ProfileFile& p, int32_t&) { return SetAutoSleep(p, 4); },
         {},
         [](const ProfileFile& p, int32_t) { return p.nAutoSleep == 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProfileFile p = FourLevels();
        int32_t cur = 3;
        EXPECT_EQ(c.act(p, cur), c.expected);
        EXPECT_TRUE(c.check(p, cur));
    }
}

TEST(PerformanceModel, RateButtonsStandForTheirCodesOnly) {
    const int32_t codes[] = {0x125, 0x250, 0x500, 0x1000};
    const int hz[] = {125, 250, 500, 1000};
    for (int k = 0; k < kRateButtons; ++k) {
        EXPECT_EQ(RateCodeOfButton(k), codes[k]);
        EXPECT_EQ(RateButtonOfCode(codes[k]), k);
        EXPECT_EQ(RateHzOfCode(codes[k]), hz[k]);
    }
    EXPECT_EQ(RateButtonOfCode(1000), -1);  // the number, not its code
    EXPECT_EQ(RateHzOfCode(0x2000), 0);
    // A record with another code shows no button checked.
    ProfileFile p = FourLevels();
    p.nRate = 0x800;
    EXPECT_EQ(ViewPerformance(p, SensorCfg{}, 0).rateButton, -1);
}

TEST(PerformanceModel, ViewFollowsTheDeviceSwitches) {
    ProfileFile p = FourLevels();
    p.bSeparateXY = 1;
    p.nDpiLightMode = 1;
    SensorCfg cfg;
    cfg.ShowXY = 1;
    cfg.DpiColorReadOnly = 1;
    PerformanceView v = ViewPerformance(p, cfg, 2);
    EXPECT_EQ(v.rows, 6);
    EXPECT_TRUE(v.row[0].yShown);
    EXPECT_EQ(v.row[0].y, 450u);
    EXPECT_TRUE(v.row[0].colourReadOnly);
    EXPECT_TRUE(v.row[2].current);
    EXPECT_FALSE(v.row[1].current);
    EXPECT_TRUE(v.showSliderA);
    EXPECT_FALSE(v.showSliderB);
    EXPECT_EQ(v.levelCount, 4);

    cfg.ShowXY = 0;  // without ShowXY no Y label, whatever the record says
    v = ViewPerformance(p, cfg, 2);
    EXPECT_FALSE(v.row[0].yShown);
    EXPECT_FALSE(v.showXYBox);

    cfg.ShowDpi = 0;
    v = ViewPerformance(p, cfg, 2);
    EXPECT_FALSE(v.row[0].visible || v.showLevelCount || v.showDpiEffect || v.showSliderA);

    p.bSeparateXY = 0;  // one value per level: the Y shown is X
    EXPECT_EQ(ViewPerformance(p, SensorCfg{}, 0).row[1].y, 500u);
}

TEST(PerformanceModel, Layout) {
    SensorCfg cfg;
    cfg.ptRipple = {600, 300};
    cfg.ShowMotionSync = 0;
    SwitchBoxLayout s = LayoutSwitchBoxes(cfg);
    EXPECT_EQ(s.angleSnap, (ZvPoint{600, 346}));
    EXPECT_EQ(s.motionSync, (ZvPoint{600, 392}));
    cfg.ShowMotionSync = 1;
    cfg.ptFixLine = {700, 200};
    s = LayoutSwitchBoxes(cfg);
    EXPECT_EQ(s.angleSnap, (ZvPoint{700, 200}));
    EXPECT_EQ(s.motionSync, (ZvPoint{700, 226}));

    // Row 2 with DPIH 10: pitch 39.
    DpiRowLayout r = LayoutDpiRow({120, 60}, 650, 10, true, 2);
    EXPECT_EQ(r.bar, (ZvRect{120, 138, 770, 167}));
    EXPECT_EQ(r.colour, (ZvRect{87, 144, 105, 162}));
    EXPECT_EQ(r.name, (ZvRect{43, 138, 86, 167}));
    EXPECT_EQ(r.xLabel, (ZvRect{778, 138, 820, 152}));
    EXPECT_EQ(r.yLabel, (ZvRect{778, 153, 820, 167}));
    r = LayoutDpiRow({120, 60}, 650, 10, false, 0);
    EXPECT_EQ(r.xLabel, (ZvRect{780, 60, 820, 89}));
}

TEST(PerformanceModel, PointerSliderPositions) {
    EXPECT_EQ(PointerSliderPosition(PointerSlider::kSpeed, 10), 6);
    EXPECT_EQ(PointerSliderPosition(PointerSlider::kDoubleClick, 500), 7);  // 480 is nearest
    EXPECT_EQ(PointerSliderPosition(PointerSlider::kScroll, 3), 3);
    EXPECT_EQ(PointerSliderValue(PointerSlider::kSpeed, 12), 0);
}

TEST(PerformanceModel, LiftOffLabelsFallBackToMillimetres) {
    // A language without the first label (an empty element) and with its own second one.
    zvtest::TempDir dir;
    dir.Write("lod.xml",
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<texts><config><tc_lod1></tc_lod1>"
              "<tc_lod2>2,5 mm</tc_lod2></config></texts>\n");
    ASSERT_TRUE(LoadTexts(dir.path() + "/lod.xml"));
    EXPECT_EQ(LiftOffLabel(1), "1 mm");
    EXPECT_EQ(LiftOffLabel(2), "2,5 mm");
}

TEST(PerformanceModel, DebounceAndAutoSleepSteps) {
    const IntRange r = DebounceRange(0x1E00);
    EXPECT_EQ(r.lo, 0);
    EXPECT_EQ(r.hi, 30);
    EXPECT_EQ(DebounceStep(30, true, r), 30);
    EXPECT_EQ(DebounceStep(29, true, r), 30);
    EXPECT_EQ(DebounceStep(0, false, r), 0);
    EXPECT_TRUE(DebounceNeedsConfirm(4, 4));
    EXPECT_FALSE(DebounceNeedsConfirm(5, 4));
    EXPECT_FALSE(DebounceNeedsConfirm(1, 0));
    EXPECT_FALSE(DebounceNeedsConfirm(4, 255));
    EXPECT_EQ(AutoSleepText(6), "1 m");
    EXPECT_EQ(AutoSleepText(1), "10 s");
    EXPECT_EQ(AutoSleepText(60), "10 m");
    EXPECT_EQ(AutoSleepPosition(6), 3);
    EXPECT_EQ(AutoSleepValueOfSeconds(60), 6);
    EXPECT_EQ(AutoSleepValueOfSeconds(600), 60);
    EXPECT_FALSE(AutoSleepValueOfSeconds(40));  // 4 is not in the table
    EXPECT_FALSE(AutoSleepValueOfSeconds(65));
    EXPECT_FALSE(AutoSleepValueOfSeconds(0));
}

// A name goes with its control on both pages: it sits at its distance from the control, and a
// hidden control takes its name (and a slider its value) away. The lift-off hint on the newer
// page gives way to the DPI-indicator options.
TEST(PerformanceLabels, NamesGoWithTheirControls) {
    ASSERT_TRUE(LoadTexts(zvtest::SourceDir() + "/data/text.xml"));
    PerfControlPlaces all;
    all.xy = ZvRect{100, 300, 118, 318};
    all.effect = ZvRect{150, 430, 300, 460};
    all.effectSliders = {ZvRect{200, 470, 460, 480}, ZvRect{200, 490, 460, 500}};
    all.effectValues = {7, 3};
    all.liftOff = {ZvRect{480, 450, 498, 468}, ZvRect{540, 450, 558, 468}};
    auto find = [](const std::vector<PageLabel>& labels, const std::string& text) {
        const auto it = std::find_if(labels.begin(), labels.end(),
                                     [&](const PageLabel& l) { return l.text == text; });
        return it == labels.end() ? std::nullopt : std::optional<ZvRect>(it->place);
    };
    const std::string xyName = GetText("tc_msg19"), speedName = GetText("tc_adv_str10"),
                      lightName = GetText("tc_adv_str7"), hint = GetText("tc_lodtips"),
                      effectName = GetText("tc_adv_str14");
    for (const bool older : {false, true}) {
        SCOPED_TRACE(older ? "older page" : "newer page");
        auto layout = [older](const PerfControlPlaces& c) {
            return older ? LayoutOlderPerfLabels(c) : LayoutNewerPerfLabels(c);
        };
        std::vector<PageLabel> shown = layout(all);
        EXPECT_EQ(find(shown, xyName), (ZvRect{126, 297, 368, 321}));
        EXPECT_EQ(find(shown, speedName), (ZvRect{50, 490, 190, 500}));
        EXPECT_EQ(find(shown, "3"), (ZvRect{475, 490, 505, 500}));
        EXPECT_EQ(find(shown, effectName), (ZvRect{47, 430, 142, 460}));
        EXPECT_FALSE(find(shown, hint));

        PerfControlPlaces fewer = all;
        fewer.xy.reset();
        fewer.effectSliders[1].reset();
        shown = layout(fewer);
        EXPECT_FALSE(find(shown, xyName));
        EXPECT_FALSE(find(shown, speedName));
        EXPECT_FALSE(find(shown, "3"));
        EXPECT_TRUE(find(shown, lightName));
        EXPECT_TRUE(find(shown, "7"));

        fewer.effect.reset();
        shown = layout(fewer);
        EXPECT_FALSE(find(shown, effectName));
        EXPECT_FALSE(find(shown, lightName));
        EXPECT_EQ(find(shown, hint).has_value(), !older);
    }
}

}  // namespace

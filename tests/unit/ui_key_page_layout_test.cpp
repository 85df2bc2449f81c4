// Where the buttons page puts its rows and menu, and which rows and hotspots count.
#include <gtest/gtest.h>

#include "ui/key_page_layout.h"

namespace {

SensorCfg Device(int buttons, int keyh) {
    SensorCfg cfg;
    cfg.nKeyNum = buttons;
    cfg.KM = buttons * 2;
    cfg.KEYH = keyh;
    return cfg;
}

TEST(KeyPageLayout, RowsOfTheDeviceOnePitchApart) {
    const auto rows = LayoutKeyRows(Device(7, 12), ZvPoint{72, 77}, false);
    int shown = 0;
    for (const KeyRowPlace& r : rows) shown += r.shown;
    EXPECT_EQ(shown, 7);
    EXPECT_TRUE(rows[6].shown);
    EXPECT_FALSE(rows[7].shown);
    EXPECT_EQ(rows[0].row, (ZvRect{72, 77, 294, 96}));
    EXPECT_EQ(rows[2].row.top, 77 + 2 * (19 + 12));
    // The number's right edge is 8 pixels left of the row.
    EXPECT_EQ(rows[2].number.right, 64);
    EXPECT_EQ(rows[2].number.right - rows[2].number.left, 18);
    // Large screens: rows doubled, the device's gap not.
    const auto big = LayoutKeyRows(Device(7, 12), ZvPoint{72, 77}, true);
    EXPECT_EQ(big[1].row, (ZvRect{144, 154 + 38 + 12, 144 + 444, 154 + 38 + 12 + 38}));
}

TEST(KeyPageLayout, OnlyShownRowsAreUnderTheCursor) {
    const auto rows = LayoutKeyRows(Device(7, 10), ZvPoint{72, 77}, false);
    EXPECT_EQ(RowAt(rows, ZvPoint{80, 80}), 0);
    EXPECT_EQ(RowAt(rows, ZvPoint{80, 77 + 6 * 29 + 5}), 6);
    // The gap between rows, the place a hidden row 8 would have and left of the rows.
    EXPECT_EQ(RowAt(rows, ZvPoint{80, 77 + 19 + 2}), std::nullopt);
    EXPECT_EQ(RowAt(rows, ZvPoint{80, 77 + 7 * 29 + 5}), std::nullopt);
    EXPECT_EQ(RowAt(rows, ZvPoint{71, 80}), std::nullopt);
}

TEST(KeyPageLayout, HotspotsNeedAMarkAndAButton) {
    SensorCfg cfg = Device(7, 10);
    for (int i = 0; i < kKeysPerSet; ++i) cfg.Mark[static_cast<size_t>(i)] = {i, i, i + 10, i + 10};
    cfg.Mark[3] = {5, 5, 5, 20};  // empty
    const auto shown = ShownHotspots(cfg);
    int n = 0;
    for (bool s : shown) n += s;
    EXPECT_EQ(n, 6);
    EXPECT_FALSE(shown[3]);
    EXPECT_FALSE(shown[7]);
}

TEST(KeyPageLayout, MenuOpensBelowOrAboveAndWidensToMenuW) {
    const ZvRect row{100, 300, 322, 319};
    EXPECT_EQ(FunctionMenuPlace(row, 13, 800, 0), (MenuPlace{100, 319, 218}));
    // 319 + 13 * 20 passes 560: above the row.
    EXPECT_EQ(FunctionMenuPlace(row, 13, 560, 0), (MenuPlace{100, 300 - 260, 218}));
    // Exactly reaching the screen's height still opens below.
    EXPECT_EQ(FunctionMenuPlace(row, 13, 579, 0).y, 319);
    // MenuW wider than the row: widened on both sides.
    EXPECT_EQ(FunctionMenuPlace(row, 13, 800, 322), (MenuPlace{50, 319, 318}));
    // MenuW narrower than the row changes nothing.
    EXPECT_EQ(FunctionMenuPlace(row, 13, 800, 100), (MenuPlace{100, 319, 218}));
}

TEST(KeyPageLayout, ControlsAndTheDebounceHint) {
    EXPECT_EQ(ProfileSelectorRect(ZvRect{72, 77, 294, 96}), (ZvRect{183, 20, 294, 50}));
    const auto b = ProfileButtonRects();
    EXPECT_EQ(b[1], (ZvRect{825, 473, 905, 500}));
    EXPECT_EQ(b[2], (ZvRect{912, 473, 992, 500}));
    EXPECT_EQ(AutoSleepRect(), (ZvRect{45, 412, 215, 442}));
    EXPECT_EQ(DebounceTipRect(255, false), std::nullopt);
    EXPECT_EQ(DebounceTipRect(300, false), (ZvRect{45, 300, 295, 447}));
    EXPECT_EQ(DebounceTipRect(300, true), (ZvRect{90, 600, 590, 894}));
}

TEST(KeyPageLayout, ValueControlsStayOffTheRows) {
    // 16 rows with a gap of 8 reach down to the debounce control; 6 rows with 12 do not.
    const auto many = LayoutKeyRows(Device(16, 8), ZvPoint{72, 77}, false);
    EXPECT_TRUE(CoversShownRows(DebounceRect(), many));
    const auto few = LayoutKeyRows(Device(6, 12), ZvPoint{72, 77}, false);
    EXPECT_FALSE(CoversShownRows(DebounceRect(), few));
    EXPECT_FALSE(CoversShownRows(AutoSleepRect(), few));

    // Few rows: the usual places. Many rows: both controls kept, moved off the rows and clear
    // of each other and of the restore button.
    const ValueControlRects usual = PlaceValueControls(few, false);
    EXPECT_FALSE(usual.moved);
    EXPECT_EQ(usual.debounce, DebounceRect());
    EXPECT_EQ(usual.autoSleep, AutoSleepRect());
    auto overlap = [](const ZvRect& a, const ZvRect& b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    };
    for (bool large : {false, true}) {
        const auto rows = LayoutKeyRows(Device(16, 8), ZvPoint{72, 77}, large);
        const ValueControlRects moved = PlaceValueControls(rows, large);
        ASSERT_TRUE(moved.moved) << large;
        EXPECT_EQ(moved.debounce, (ZvRect{707, 430, 877, 460}));
        EXPECT_EQ(moved.autoSleep, (ZvRect{707, 395, 877, 425}));
        EXPECT_FALSE(
            CoversShownRows(moved.debounce, LayoutKeyRows(Device(16, 8), {72, 77}, false)));
        EXPECT_FALSE(overlap(moved.debounce, moved.autoSleep));
        EXPECT_FALSE(overlap(moved.debounce, ProfileButtonRects()[0]));
    }
}

}  // namespace

#include <gtest/gtest.h>

#include "controls/button_model.h"

#include <vector>

namespace {

TEST(ControlsButtonLook, PictureAndColourPerState) {
    using F = ButtonFace;
    using T = ButtonTextColour;
    struct Case {
        ButtonDrawState s;
        ButtonLook look;
    };
    // checkable, checked, hovering, pressed, itemDisabled, hasAltPressed
    const Case cases[] = {
        {{true, true, false, false, false, false}, {F::kPressed, T::kPressed}},
        {{true, true, true, false, true, false}, {F::kDisabled, T::kNormal}},
        {{true, false, true, false, false, false}, {F::kHover, T::kHover}},
        {{true, false, false, true, false, true}, {F::kAltPressed, T::kNormal}},
        {{true, false, false, true, false, false}, {F::kNormal, T::kNormal}},
        {{true, false, false, false, true, false}, {F::kDisabled, T::kNormal}},
        {{false, false, false, true, false, false}, {F::kPressed, T::kPressed}},
        {{false, true, true, false, false, false}, {F::kPressed, T::kPressed}},
        {{false, false, true, false, false, false}, {F::kHover, T::kHover}},
        {{false, false, false, false, true, false}, {F::kDisabled, T::kNormal}},
        {{false, false, false, false, false, false}, {F::kNormal, T::kNormal}},
    };
    int row = 0;
    for (const auto& c : cases) EXPECT_EQ(ChooseButtonLook(c.s), c.look) << "row " << row++;
}

TEST(ControlsButtonLook, CaptionCentredOrOffset) {
    const ZvRect area{0, 0, 100, 30};
    const CaptionPlacement centred = PlaceCaption(area, 0, false);
    EXPECT_TRUE(centred.centred);
    EXPECT_EQ(centred.rect, area);
    const CaptionPlacement left = PlaceCaption(area, 10, false);
    EXPECT_FALSE(left.centred);
    EXPECT_EQ(left.rect.left, 10);
    EXPECT_EQ(PlaceCaption(area, 10, true).rect, (ZvRect{9, 1, 99, 31}));
}

TEST(ControlsButtonLook, ContrastAndVeil) {
    EXPECT_NEAR(ContrastRatio(Rgb(0, 0, 0), Rgb(255, 255, 255)), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(Rgb(255, 255, 255), Rgb(0, 0, 0)), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(Rgb(43, 51, 66), Rgb(43, 51, 66)), 1.0, 1e-9);
    // Green weighs most: pure green on black reads far better than pure blue.
    EXPECT_GT(ContrastRatio(Rgb(0, 255, 0), 0), 4 * ContrastRatio(Rgb(0, 0, 255), 0));
    // 80 at 220/255 over the row face's top colour (43, 51, 66), worked by hand.
    EXPECT_EQ(VeiledFace(Rgb(43, 51, 66)), Rgb(75, 76, 78));
}

TEST(ControlsButtonLook, DisabledCaptionsStayReadable) {
    // The face colours the captions of the skins sit on (gradients' ends of the row, button and
    // combo pictures).
    const uint32_t faces[] = {Rgb(0x2b, 0x33, 0x42), Rgb(0x23, 0x2a, 0x37), Rgb(0x25, 0x2c, 0x39),
                              Rgb(0x1b, 0x20, 0x2b)};
    for (uint32_t face : faces) {
        EXPECT_GE(ContrastRatio(kDisabledCaption, VeiledFace(face)), kMinTextContrast) << face;
        EXPECT_GE(ContrastRatio(kLockedCaption, face), kMinTextContrast) << face;
    }
}

}  // namespace

#include "controls/window_shape.h"

namespace {

TEST(ControlsWindowShape, KeyColourWithTolerance) {
    const uint32_t key = Rgb(255, 0, 255);
    struct Case {
        uint32_t pixel;
        int tolerance;
        bool kept;
    };
    const Case cases[] = {
        {Rgb(255, 0, 255), 0, false}, {Rgb(254, 0, 255), 0, true},   {Rgb(245, 10, 245), 10, false},
        {Rgb(244, 0, 255), 10, true}, {Rgb(255, 11, 255), 10, true}, {Rgb(0, 0, 0), 10, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PixelIsKept(c.pixel, key, c.tolerance), c.kept) << c.pixel;
}

TEST(ControlsWindowShape, RunsSkipTheCutPixels) {
    // Row 0: key, kept, kept, key; row 1: kept, key, key, kept.
    const uint32_t k = Rgb(0, 255, 0), o = Rgb(20, 20, 20);
    const uint32_t px[2][4] = {{k, o, o, k}, {o, k, k, o}};
    const auto runs = KeptPixelRuns(
        4, 2, [&](int x, int y) { return px[y][x]; }, k, 0);
    const std::vector<ZvRect> expected{{1, 0, 3, 1}, {0, 1, 1, 2}, {3, 1, 4, 2}};
    EXPECT_EQ(runs, expected);
}

}  // namespace

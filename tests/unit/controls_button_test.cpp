#include <gtest/gtest.h>

#include "controls/button_model.h"

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

}  // namespace

#include "controls/slider_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "macro_test_log.h"

namespace {

using ::testing::ElementsAre;

struct Msg {
    uint32_t msg;
    intptr_t wParam, lParam;
    bool operator==(const Msg&) const = default;
};
void PrintTo(const Msg& m, std::ostream* os) {
    *os << std::hex << "{0x" << m.msg << ", " << std::dec << m.wParam << ", 0x" << std::hex
        << m.lParam << "}";
}

// The page: answers the "may it change?" question with `answer` and records every message.
class FakeOwner : public SliderOwner {
  public:
    intptr_t answer = 1;
    std::vector<Msg> asked, posted;
    intptr_t Send(uint32_t msg, intptr_t w, intptr_t l) override {
        asked.push_back({msg, w, l});
        return answer;
    }
    void Post(uint32_t msg, intptr_t w, intptr_t l) override { posted.push_back({msg, w, l}); }
};

TEST(SliderScale, PixelToIndex) {
    struct Case {
        int32_t min, max;
        std::vector<int32_t> positions;
        int32_t width, x, index;
    };
    const Case cases[] = {
        // step 29, f = 1: |44 - 58| = 14 beats |44 - 29| = 15, so the next step wins.
        {1, 10, {}, 261, 44, 3},
        {1, 10, {}, 261, 43, 2},  // |43 - 58| = 15 against 14: stays at f
        {1, 10, {}, 261, -40, 1},
        {1, 10, {}, 261, 5000, 10},
        // 5 and 15 are equally near 10: the later one.
        {0, 2, {5, 15, 25}, 0, 10, 1},
        {3, 5, {5, 15, 25}, 0, 10, 4},
        {3, 5, {5, 15, 25}, 0, 9, 3},
        {3, 5, {5, 15, 25}, 0, 999, 5},
        {4, 4, {}, 100, 60, 4},  // a range of one index has nowhere else to go
    };
    for (const Case& c : cases) {
        SliderScale s;
        s.SetRange(c.min, c.max);
        s.SetPositions(c.positions.data(), static_cast<int32_t>(c.positions.size()));
        EXPECT_EQ(s.IndexAt(c.x, c.width), c.index) << c.min << ".." << c.max << " x=" << c.x;
    }
}

TEST(SliderScale, ValuesAndIndices) {
    SliderScale s;
    s.SetRange(2, 5);
    const int32_t list[] = {400, 800, 1600};
    s.SetValueList(list, 3);
    EXPECT_EQ(s.ValueOf(3), 800);
    EXPECT_EQ(s.ValueOf(5), 0);  // inside the range, past the list
    EXPECT_EQ(s.ValueOf(6), 0);
    EXPECT_EQ(s.IndexOf(1600), 4);
    EXPECT_EQ(s.IndexOf(1000), std::nullopt);
    // Even spacing: (width / span) first, as integers.
    EXPECT_EQ(s.XOf(4, 100), 33 * 2);

    // Lists are cut to 650 entries.
    SliderScale big;
    big.SetRange(0, 699);
    std::vector<int32_t> many(700);
    for (int32_t i = 0; i < 700; ++i) many[static_cast<size_t>(i)] = 1000 + i;
    big.SetValueList(many.data(), 700);
    EXPECT_EQ(big.IndexOf(1649), 649);
    EXPECT_EQ(big.IndexOf(1650), std::nullopt);
    EXPECT_EQ(big.ValueOf(650), 0);

    SliderScale plain;
    plain.SetRange(1, 10);
    EXPECT_EQ(plain.IndexOf(7), 7);
    EXPECT_EQ(plain.IndexOf(42), 1);  // outside the range: the minimum
}

TEST(SliderScale, ScalePositionsAndTheirWarning) {
    std::optional<SliderWarning> w;
    EXPECT_THAT(ScalePositions(100, 10, 4, &w), ElementsAre(5, 35, 65, 95));
    EXPECT_FALSE(w);
    EXPECT_THAT(ScalePositions(100, 10, 1, &w), ElementsAre(5));
    EXPECT_FALSE(w);
    // No room: warned, still made.
    EXPECT_THAT(ScalePositions(10, 10, 3, &w), ElementsAre(5, 5, 5));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->text, "Scale num too much");
    EXPECT_EQ(w->caption, "Warning");
}

class SliderTest : public ::testing::Test {
  protected:
    SliderTest() {
        slider.SetRange(1, 4);
        slider.SetValueList(kList, 4);
        slider.SetScalePos(4, kMarks);
        slider.SetHasFill(true);
        slider.SetReportWhileDragging(true);
        slider.SetValue(400, false);
    }
    static constexpr int32_t kList[] = {400, 800, 1600, 3200};
    static constexpr int32_t kMarks[] = {10, 40, 70, 100};
    FakeOwner owner;
    SliderModel slider{owner, 7, 110, 9};
};

TEST_F(SliderTest, SetValuePlacesTheThumbAndIgnoresUnknownValues) {
    slider.SetValue(1600, false);
    EXPECT_EQ(slider.Thumb().left, 70 - 4);
    EXPECT_EQ(slider.FillWidth(), 71);
    EXPECT_TRUE(owner.posted.empty());

    slider.SetValue(1000, true);
    EXPECT_EQ(slider.GetValue(), 1600);
    EXPECT_EQ(slider.Thumb().left, 66);
    EXPECT_EQ(slider.FillWidth(), 71);
    EXPECT_TRUE(owner.posted.empty());

    slider.SetValue(3200, true);
    EXPECT_THAT(owner.posted, ElementsAre(Msg{kSliderCommitted, 3200, 7}));
}

TEST_F(SliderTest, ClickAsksTheOwnerThenCommitsOnlyAChange) {
    slider.ClickTrack(68);
    EXPECT_THAT(owner.asked, ElementsAre(Msg{kSliderMayChange, 1600, 7}));
    EXPECT_THAT(owner.posted, ElementsAre(Msg{kSliderCommitted, 1600, 7}));
    slider.ClickTrack(72);  // the same index again
    EXPECT_EQ(owner.asked.size(), 2u);
    EXPECT_EQ(owner.posted.size(), 1u);
}

TEST_F(SliderTest, OwnerRefusalMovesNothing) {
    for (intptr_t answer : {0, 2}) {  // only exactly 1 allows
        owner.answer = answer;
        slider.ClickTrack(100);
        EXPECT_FALSE(slider.PressThumb(10));
        slider.DragTo(100);
        slider.Release(100);
        EXPECT_EQ(slider.GetValue(), 400) << answer;
        EXPECT_EQ(slider.Thumb().left, 6) << answer;
        EXPECT_TRUE(owner.posted.empty()) << answer;
    }
    // A press reports the thumb's index, not its value.
    EXPECT_EQ(owner.asked[1], (Msg{kSliderMayChange, 1, 7}));
}

TEST_F(SliderTest, DragReportsWhileMovingAndCommitsOnRelease) {
    ASSERT_TRUE(slider.PressThumb(10));
    slider.DragTo(20);  // centre 20: still index 1
    slider.DragTo(40);  // centre 40: index 2
    slider.DragTo(44);
    EXPECT_EQ(slider.FillWidth(), 45);
    slider.DragTo(500);  // kept inside the track
    EXPECT_EQ(slider.Thumb().left, 110 - 9);
    slider.Release(66);  // centre 66: index 3
    EXPECT_EQ(slider.Thumb().left, 66);
    EXPECT_THAT(owner.posted,
                ElementsAre(Msg{kSliderDragging, 400, 7}, Msg{kSliderDragging, 800, 7},
                            Msg{kSliderDragging, 3200, 7}, Msg{kSliderCommitted, 1600, 7}));
}

TEST_F(SliderTest, DragReleasedOnItsStartIndexSnapsBackSilently) {
    ASSERT_TRUE(slider.PressThumb(10));
    slider.DragTo(40);
    slider.Release(22);  // centre 22: nearer 10 than 40
    EXPECT_EQ(slider.GetValue(), 400);
    EXPECT_EQ(slider.Thumb().left, 6);
    // The drag report of the index passed on the way, no commit.
    EXPECT_THAT(owner.posted, ElementsAre(Msg{kSliderDragging, 800, 7}));
}

TEST_F(SliderTest, MismatchedScalePositionsWarnAndAreKept) {
    zvtest::MacroLogCapture log;
    SliderModel s(owner, 3, 261, 9);
    s.SetRange(1, 5);
    const int32_t ten[] = {0, 20, 40, 60, 80, 100, 120, 140, 160, 180};
    const std::optional<SliderWarning> w = s.SetScalePos(10, ten);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->text, "CPngSlider::SetScalePos  dwScale and Range unmatch!");
    EXPECT_EQ(w->caption, "Warning");
    EXPECT_TRUE(log.Has("CPngSlider::SetScalePos  dwScale and Range unmatch!"));
    EXPECT_EQ(s.Thumb().scale.Positions().size(), 10u);
    EXPECT_FALSE(s.SetScalePos(5, ten));
}

TEST(SliderLayout, HighResolutionDoublesTrackThumbAndMarks) {
    FakeOwner owner;
    SliderModel s(owner, 1, 110, 9);
    s.SetRange(0, 4);
    const std::vector<int32_t> marks = ScalePositions(110, 10, 5);
    ASSERT_THAT(marks, ElementsAre(5, 30, 55, 80, 105));
    s.SetScalePos(5, marks.data());
    s.SetValue(2, false);
    EXPECT_EQ(s.Thumb().left, 55 - 4);
    s.LayoutFor4K();
    EXPECT_EQ(s.TrackWidth(), 220);
    EXPECT_THAT(s.Thumb().scale.Positions(), ElementsAre(10, 60, 110, 160, 210));
    EXPECT_EQ(s.Thumb().left, 110 - 9);
    EXPECT_EQ(s.GetValue(), 2);
}

TEST(SliderLevelBar, WithoutAThumbPictureTheLastStepFillsTheTrack) {
    FakeOwner owner;
    SliderModel s(owner, 1, 200, 0);
    s.SetRange(0, 4);
    s.SetHasFill(true);
    s.SetHasThumbImage(false);
    s.SetValue(3, false);
    EXPECT_EQ(s.FillWidth(), 151);
    s.SetValue(4, false);
    EXPECT_EQ(s.FillWidth(), 200);
}

TEST(TwoThumbSlider, SingleValueDragCommitsBothThumbs) {
    FakeOwner owner;
    TwoThumbSliderModel s(owner, 9, 261, 20, 11);
    s.SetRange(1, 10);
    s.SetReportWhileDragging(true);
    ASSERT_TRUE(s.PressThumb(1, 0));
    s.DragTo(1, 60);
    s.Release(1, 60);  // under the pointer: index 3
    const intptr_t t1 = (1 << 16) | 9, t2 = (2 << 16) | 9;
    EXPECT_THAT(owner.asked, ElementsAre(Msg{kSlider2MayChange, 1, t1}));
    EXPECT_THAT(owner.posted,
                ElementsAre(Msg{kSlider2Dragging, 3, t1}, Msg{kSlider2Committed, 3, t1},
                            Msg{kSlider2Committed, 3, t2}));
    EXPECT_EQ(s.GetValue(2), 3);
    EXPECT_TRUE(s.DrawsFill());

    owner.posted.clear();
    ASSERT_TRUE(s.PressThumb(1, 60));
    s.Release(1, 62);  // same index: nothing at all
    EXPECT_TRUE(owner.posted.empty());
}

// A DPI bar has many values close together: a thumb is held anywhere on its face, and the
// value it stands on is the one under its centre, not under the pointer.
TEST(TwoThumbSlider, ThumbHeldOffCentreKeepsOrCarriesItsOwnValue) {
    FakeOwner owner;
    TwoThumbSliderModel s(owner, 9, 261, 20, 11);
    s.SetRange(1, 100);
    std::vector<int32_t> marks = ScalePositions(261, 10, 100);
    s.SetScalePos(100, marks.data());
    s.SetValue(1, 50, false);
    const int32_t centre = s.Thumb(1).Centre();
    const int32_t edge = s.Thumb(1).left;  // several steps left of the centre
    ASSERT_LT(s.Thumb(1).scale.IndexAt(edge, 261), 50);

    ASSERT_TRUE(s.PressThumb(1, edge));
    s.Release(1, edge);  // a click that did not move the thumb
    EXPECT_EQ(s.GetValue(1), 50);
    EXPECT_TRUE(owner.posted.empty());

    // Carried 20 pixels: the value under the centre's new place.
    const int32_t want = s.Thumb(1).scale.ValueOf(s.Thumb(1).scale.IndexAt(centre + 20, 261));
    ASSERT_TRUE(s.PressThumb(1, edge));
    s.Release(1, edge + 20);
    EXPECT_EQ(s.GetValue(1), want);
}

TEST(TwoThumbSlider, TrackClicks) {
    FakeOwner owner;
    TwoThumbSliderModel s(owner, 9, 261, 20, 11);
    s.SetRange(1, 10);
    const intptr_t t1 = (1 << 16) | 9, t2 = (2 << 16) | 9;

    // Single value: thumb 1 moves and reports, thumb 2 follows silently.
    s.ClickTrack(44, 15);
    EXPECT_THAT(owner.posted, ElementsAre(Msg{kSlider2Committed, 3, t1}));
    EXPECT_EQ(s.GetValue(2), 3);

    // X/Y: the lower half is thumb 2; an unchanged value is still reported.
    s.SetTwoThumbs(true);
    owner.posted.clear();
    s.ClickTrack(116, 11);
    s.ClickTrack(116, 11);
    EXPECT_THAT(owner.posted,
                ElementsAre(Msg{kSlider2Committed, 5, t2}, Msg{kSlider2Committed, 5, t2}));
    EXPECT_EQ(s.GetValue(1), 3);
    EXPECT_FALSE(s.DrawsFill());

    // Any non-zero answer allows; zero refuses.
    owner.answer = 2;
    s.ClickTrack(0, 0);
    EXPECT_EQ(s.GetValue(1), 1);
    owner.answer = 0;
    s.ClickTrack(261, 0);
    EXPECT_FALSE(s.PressThumb(1, 0));
    EXPECT_EQ(s.GetValue(1), 1);
}

}  // namespace

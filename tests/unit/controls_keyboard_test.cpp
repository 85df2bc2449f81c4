// The keyboard's decisions without a window: Tab order over controls laid out as the pages lay
// them, radio groups walked by the arrows, the index a slider key asks for and where a menu's
// highlight goes; and a slider key reaching the owner exactly as a click does.
#include "controls/keyboard_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "controls/slider_model.h"

namespace {

using ::testing::ElementsAre;

FocusItem Item(int32_t id, int32_t x, int32_t y, int32_t w = 20, int32_t h = 20, int32_t group = 0,
               bool checked = false) {
    return FocusItem{id, ZvRect{x, y, x + w, y + h}, group, checked};
}

// A small window: a title row whose buttons sit a few pixels apart in height, a row of three
// radio buttons (the second chosen), a slider under them and a lone button at the bottom left.
std::vector<FocusItem> Window() {
    return {
        Item(9, 10, 300),                    // bottom left, made first
        Item(3, 200, 14),                    // the title row, 4 pixels lower than its neighbour
        Item(2, 100, 10),                    //
        Item(1, 10, 12),                     //
        Item(12, 120, 100, 20, 20, 7),       // radio row, group 7
        Item(11, 60, 100, 20, 20, 7, true),  //
        Item(10, 10, 100, 20, 20, 7),        //
        Item(20, 10, 200, 260, 10),          // slider
    };
}

TEST(FocusOrder, ReadingOrderTabStopsAndGroups) {
    std::vector<int32_t> order;
    for (const FocusItem& f : ReadingOrder(Window())) order.push_back(f.id);
    EXPECT_THAT(order, ElementsAre(1, 2, 3, 10, 11, 12, 20, 9));
    // A group is one stop, at its chosen member.
    EXPECT_THAT(TabStops(Window()), ElementsAre(1, 2, 3, 11, 20, 9));
    // A group without a chosen member stops at its first in reading order.
    std::vector<FocusItem> none = Window();
    for (FocusItem& f : none) f.checked = false;
    EXPECT_THAT(TabStops(none), ElementsAre(1, 2, 3, 10, 20, 9));
}

TEST(FocusOrder, TabAndShiftTabGoRoundAndLeaveAGroupWhole) {
    struct Case {
        int32_t from;
        bool back;
        int32_t to;
    };
    const Case cases[] = {
        {1, false, 2},   {3, false, 11},
        {11, false, 20}, {9, false, 1},  // round at the end
        {1, true, 9},    {20, true, 11},
        {11, true, 3},   {12, false, 20},  // an unchosen member leaves from its group's place
        {12, true, 3},                     //
        {0, false, 1},                     // nothing focused yet: the first stop
        {0, true, 9},                      // ... or the last
        {77, false, 1},                    // a window that is not in the list
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextTabStop(Window(), c.from, c.back), c.to) << c.from << (c.back ? " back" : "");
    EXPECT_EQ(NextTabStop({}, 1, false), 0);
}

TEST(FocusOrder, ArrowsWalkTheGroupRoundInReadingOrder) {
    EXPECT_EQ(GroupStep(Window(), 10, +1), 11);
    EXPECT_EQ(GroupStep(Window(), 12, +1), 10);
    EXPECT_EQ(GroupStep(Window(), 10, -1), 12);
    EXPECT_EQ(GroupStep(Window(), 20, +1), 20);  // not in a group
}

TEST(KeySteps, SliderAndMenuTargets) {
    struct SliderCase {
        StepKey key;
        int32_t index, min, max, to;
    };
    const SliderCase slider[] = {
        {StepKey::kMore, 3, 1, 10, 4},       {StepKey::kLess, 3, 1, 10, 2},
        {StepKey::kLess, 1, 1, 10, 1},       {StepKey::kMore, 10, 1, 10, 10},  // the ends hold
        {StepKey::kPageMore, 3, 1, 10, 5},  // a tenth of 9 is less than two steps
        {StepKey::kPageMore, 3, 0, 100, 13}, {StepKey::kPageLess, 5, 0, 100, 0},
        {StepKey::kFirst, 7, 2, 9, 2},       {StepKey::kLast, 7, 2, 9, 9},
    };
    for (const SliderCase& c : slider)
        EXPECT_EQ(SliderKeyIndex(c.key, c.index, c.min, c.max), c.to)
            << static_cast<int>(c.key) << " from " << c.index;
    struct MenuCase {
        StepKey key;
        int32_t hovered, count, to;
    };
    const MenuCase menu[] = {
        {StepKey::kMore, -1, 4, 0}, {StepKey::kMore, 3, 4, 0}, {StepKey::kLess, 0, 4, 3},
        {StepKey::kLess, -1, 4, 3}, {StepKey::kLast, 1, 4, 3}, {StepKey::kMore, -1, 0, -1},
    };
    for (const MenuCase& c : menu)
        EXPECT_EQ(MenuKeyIndex(c.key, c.hovered, c.count), c.to)
            << static_cast<int>(c.key) << " from " << c.hovered;
}

struct Msg {
    uint32_t msg;
    intptr_t wParam, lParam;
    bool operator==(const Msg&) const = default;
};
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

TEST(SliderKeys, AStepAsksThenReportsTheListValueAndTheEndsStayQuiet) {
    FakeOwner owner;
    SliderModel m(owner, 272, 261, 10);
    m.SetRange(1, 4);
    const int32_t values[] = {100, 200, 400, 800};
    m.SetValueList(values, 4);
    m.SetValue(200, false);
    EXPECT_TRUE(m.KeyStep(StepKey::kMore));
    EXPECT_EQ(m.GetValue(), 400);
    EXPECT_EQ(owner.asked, (std::vector<Msg>{{kSliderMayChange, 400, 272}}));
    EXPECT_EQ(owner.posted, (std::vector<Msg>{{kSliderCommitted, 400, 272}}));
    // The thumb stands where a click on that mark would put it.
    const int32_t left = m.Thumb().left;
    m.ClickTrack(0);
    m.ClickTrack(m.Thumb().scale.XOf(3, 261));
    EXPECT_EQ(m.Thumb().left, left);
    owner.asked.clear();
    owner.posted.clear();
    m.KeyStep(StepKey::kLast);
    EXPECT_FALSE(m.KeyStep(StepKey::kMore));  // already at the end: nothing asked, nothing said
    EXPECT_EQ(owner.asked.size(), 1u);
    EXPECT_EQ(owner.posted, (std::vector<Msg>{{kSliderCommitted, 800, 272}}));
    // A refusal leaves it where it is.
    owner.answer = 0;
    EXPECT_FALSE(m.KeyStep(StepKey::kFirst));
    EXPECT_EQ(m.GetValue(), 800);
}

TEST(SliderKeys, TwoThumbsSingleValueCarriesTheHiddenThumbAndXYMovesOne) {
    FakeOwner owner;
    TwoThumbSliderModel m(owner, 144, 650, 20, 10);
    m.SetRange(1, 5);
    m.SetValue(1, 2, false);
    m.SetValue(2, 2, false);
    EXPECT_TRUE(m.KeyStep(1, StepKey::kMore));
    EXPECT_EQ(m.GetValue(1), 3);
    EXPECT_EQ(m.GetValue(2), 3);  // follows without a word
    EXPECT_EQ(owner.posted, (std::vector<Msg>{{kSlider2Committed, 3, (1 << 16) | 144}}));
    owner.posted.clear();
    m.SetTwoThumbs(true);
    EXPECT_TRUE(m.KeyStep(2, StepKey::kLess));
    EXPECT_EQ(m.GetValue(1), 3);
    EXPECT_EQ(m.GetValue(2), 2);
    EXPECT_EQ(owner.posted, (std::vector<Msg>{{kSlider2Committed, 2, (2 << 16) | 144}}));
}

}  // namespace

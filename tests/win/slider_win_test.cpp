// The skinned slider windows driven with real mouse messages: the track click, the thumb drag
// with its reports, the snap-back, and the owner's veto, as the owner window receives them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/win/png_slider.h"
#include "platform/window.h"
#include "win/ui_host.h"

namespace {

// An owner that answers the may-I-change questions with `answer` and records the rest.
class SliderOwnerWnd : public zvtest::UiHost {
  public:
    LRESULT answer = 1;
    std::vector<Seen> got;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg >= kSliderCommitted && msg <= kSlider2Dragging) {
            got.push_back({msg, wp, lp});
            if (msg == kSliderMayChange || msg == kSlider2MayChange) return answer;
            return 0;
        }
        return UiHost::WindowProc(msg, wp, lp);
    }
    std::vector<Seen> Of(UINT msg) const {
        std::vector<Seen> out;
        for (const Seen& s : got)
            if (s.msg == msg) out.push_back(s);
        return out;
    }
};

constexpr UINT kId = 150;

class SliderWin : public ::testing::Test {
  protected:
    void SetUp() override {
        zvtest::StartGdiplus();
        zvtest::RecordMessageBoxes(boxes);
        gVar.szAppDir = zvtest::ProgramFolder();
        ASSERT_TRUE(owner.Open(0, 0, 800, 200));
    }
    void TearDown() override {
        platform::SetMessageBoxHook(nullptr);
        owner.DestroyWindow();
    }
    // The thumb window's left edge in its track.
    static int LeftOf(HWND thumb) {
        RECT rc;
        ::GetWindowRect(thumb, &rc);
        ::MapWindowPoints(nullptr, ::GetParent(thumb), reinterpret_cast<POINT*>(&rc), 2);
        return rc.left;
    }
    // Presses the thumb at its centre, moves the pointer to track x `toX` in steps and lets go,
    // each message at the pointer's place in the thumb's own (moving) coordinates.
    static void Drag(HWND thumb, int toX) {
        RECT rc;
        ::GetClientRect(thumb, &rc);
        const int y = rc.bottom / 2;
        int x = LeftOf(thumb) + rc.right / 2;
        ::SendMessageW(thumb, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x - LeftOf(thumb), y));
        const int step = toX > x ? 7 : -7;
        while ((step > 0 && x + step < toX) || (step < 0 && x + step > toX)) {
            x += step;
            ::SendMessageW(thumb, WM_MOUSEMOVE, MK_LBUTTON,
                           MAKELPARAM(static_cast<short>(x - LeftOf(thumb)), y));
        }
        ::SendMessageW(thumb, WM_LBUTTONUP, 0,
                       MAKELPARAM(static_cast<short>(toX - LeftOf(thumb)), y));
        zvtest::Pump(30);
    }
    bool MakeDpiBar(CPngHSliderBarEx& bar) {
        SliderArgs a;
        a.id = kId;
        a.rc = RECT{20, 20, 670, 49};
        a.track = "longbar_nr.png";
        a.fill = "longbar_ov.png";
        a.thumb = "slider1.png";
        a.thumb2 = "slider2.png";
        a.trackOffset = POINT{0, 12};
        if (!NewSmallPngHSliderBarEx(&bar, owner.m_hWnd, a, UiTheme{})) return false;
        const int32_t values[] = {100, 200, 400, 800, 1600};
        const std::vector<int32_t> marks = ScalePositions(650, 10, 5);
        bar.SetRange(1, 5);
        bar.SetValueList(values, 5);
        bar.SetScalePos(5, marks.data());
        bar.SetValue(1, 200, false);
        bar.SetValue(2, 200, false);
        return true;
    }

    SliderOwnerWnd owner;
    std::vector<std::string> boxes;
};

TEST_F(SliderWin, DragInSingleValueModeCommitsBothThumbs) {
    CPngHSliderBarEx bar;
    ASSERT_TRUE(MakeDpiBar(bar));
    bar.SetReportWhileDragging(true);
    const std::vector<int32_t>& marks = bar.Model()->Thumb(1).scale.Positions();
    Drag(bar.ThumbWnd(1).m_hWnd, marks[3]);  // onto 800
    EXPECT_FALSE(owner.Of(kSlider2Dragging).empty());
    const auto commits = owner.Of(kSlider2Committed);
    ASSERT_EQ(commits.size(), 2u);
    EXPECT_EQ(commits[0].wp, 800u);
    EXPECT_EQ(commits[0].lp, static_cast<LPARAM>((1 << 16) | kId));
    EXPECT_EQ(commits[1].wp, 800u);
    EXPECT_EQ(commits[1].lp, static_cast<LPARAM>((2 << 16) | kId));
    EXPECT_EQ(bar.GetValue(1), 800);
    EXPECT_EQ(bar.GetValue(2), 800);
    // The window stands where the model put the thumb.
    EXPECT_EQ(LeftOf(bar.ThumbWnd(1).m_hWnd), bar.Model()->Thumb(1).left);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SliderWin, DragBackToTheStartSnapsBackAndReportsNothing) {
    CPngHSliderBarEx bar;
    ASSERT_TRUE(MakeDpiBar(bar));
    const HWND thumb = bar.ThumbWnd(1).m_hWnd;
    const int start = LeftOf(thumb);
    const std::vector<int32_t>& marks = bar.Model()->Thumb(1).scale.Positions();
    // Released a few pixels off the start position: still nearest to it.
    Drag(thumb, marks[1] + 20);
    EXPECT_TRUE(owner.Of(kSlider2Committed).empty());
    EXPECT_EQ(LeftOf(thumb), start);
    EXPECT_EQ(bar.GetValue(1), 200);
}

TEST_F(SliderWin, OwnerRefusalStopsDragAndClick) {
    CPngHSliderBarEx bar;
    ASSERT_TRUE(MakeDpiBar(bar));
    owner.answer = 0;
    const HWND thumb = bar.ThumbWnd(1).m_hWnd;
    const int start = LeftOf(thumb);
    const std::vector<int32_t>& marks = bar.Model()->Thumb(1).scale.Positions();
    Drag(thumb, marks[4]);
    EXPECT_NE(::GetCapture(), thumb);
    const LPARAM at = MAKELPARAM(marks[4], 5);
    ::SendMessageW(bar.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(bar.m_hWnd, WM_LBUTTONUP, 0, at);
    zvtest::Pump(30);
    EXPECT_EQ(owner.Of(kSlider2MayChange).size(), 2u);
    EXPECT_TRUE(owner.Of(kSlider2Committed).empty());
    EXPECT_EQ(LeftOf(thumb), start);
    EXPECT_EQ(bar.GetValue(1), 200);
}

// The single-thumb slider's click: range 1..10 on 261 pixels without marks, a click at 44 is
// index 3; its question must be answered with exactly 1.
TEST_F(SliderWin, SingleThumbClickAsksForExactlyOne) {
    CPngSliderBar bar;
    SliderArgs a;
    a.id = kId;
    a.rc = RECT{20, 100, 281, 120};
    a.track = "bar_nr.png";
    a.fill = "bar_ov.png";
    a.thumb = "slider.png";
    a.minimum = 1;
    a.maximum = 10;
    ASSERT_EQ(NewSmallPngSliderBar(&bar, owner.m_hWnd, a, UiTheme{}), 1);
    const LPARAM at = MAKELPARAM(44, 5);
    owner.answer = 2;
    ::SendMessageW(bar.m_hWnd, WM_LBUTTONUP, 0, at);
    zvtest::Pump(30);
    EXPECT_EQ(bar.GetValue(), 1);
    EXPECT_TRUE(owner.Of(kSliderCommitted).empty());
    owner.answer = 1;
    ::SendMessageW(bar.m_hWnd, WM_LBUTTONUP, 0, at);
    zvtest::Pump(30);
    EXPECT_EQ(bar.GetValue(), 3);
    const auto commits = owner.Of(kSliderCommitted);
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0].wp, 3u);
    EXPECT_EQ(commits[0].lp, static_cast<LPARAM>(kId));
}

TEST_F(SliderWin, TrackFileMissingWarnsAndMakesNoWindow) {
    CPngSliderBar bar;
    SliderArgs a;
    a.rc = RECT{0, 0, 100, 10};
    a.track = "no_such_bar.png";
    EXPECT_EQ(NewSmallPngSliderBar(&bar, owner.m_hWnd, a, UiTheme{}), 0);
    EXPECT_EQ(bar.m_hWnd, nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "NewSmallPngSliderBar Error. file no_such_bar.png not exist");
    boxes.clear();
}

}  // namespace

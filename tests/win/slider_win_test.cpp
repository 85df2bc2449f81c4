// The skinned slider windows driven with real mouse messages: the track click, the thumb drag
// with its reports, the snap-back, and the owner's veto, as the owner window receives them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "controls/skin_paths.h"
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

// The track is drawn over its owner's background as the owner draws it: the part of the
// background under the track, the track picture at its offset, and up to the fill the fill
// picture over the background instead. Compared pixel by pixel with the same pictures composed
// by hand, over a background in which no two pixels are alike (a part taken from the wrong place
// shows), for a background asked of the owner at each paint and for one given at creation.
// Edge pixels the pictures only partly cover may round one step apart (the hand-made picture
// is blended twice).
TEST_F(SliderWin, TrackDrawsItsPicturesOverTheOwnersBackground) {
    RECT client{};
    ::GetClientRect(owner.m_hWnd, &client);
    PicturePtr back = std::make_shared<SkinPicture>();
    back->bmp =
        std::make_unique<Gdiplus::Bitmap>(client.right, client.bottom, PixelFormat32bppARGB);
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            back->bmp->SetPixel(x, y,
                                Gdiplus::Color(255, static_cast<BYTE>(x), static_cast<BYTE>(y),
                                               static_cast<BYTE>(x >> 8 | y << 2)));
    PicturePtr track = LoadSkinPicture(SkinPath("longbar_nr.png"));
    PicturePtr fill = LoadSkinPicture(SkinPath("longbar_ov.png"));
    ASSERT_TRUE(PicturePresent(track.get()) && PicturePresent(fill.get()));
    const RECT rc{37, 61, 687, 90};
    const POINT offset{0, 12};
    // `over` at the offset on the background's part under the track.
    auto composed = [&](SkinPicture* over) {
        PicturePtr p = CopyPictureRect(back.get(), rc);
        Gdiplus::Graphics g(p->bmp.get());
        DrawPicture(g, over, offset.x, offset.y);
        return p;
    };
    PicturePtr withTrack = composed(track.get()), withFill = composed(fill.get());
    for (bool asked : {true, false}) {
        CPngHSliderBarEx bar;
        SliderArgs a;
        a.id = kId;
        a.rc = rc;
        a.track = "longbar_nr.png";
        a.fill = "longbar_ov.png";
        a.thumb = "slider1.png";
        a.thumb2 = "slider2.png";
        a.trackOffset = offset;
        if (asked)
            a.ownerBackground = [&] { return back.get(); };
        else
            a.background = back.get();
        ASSERT_EQ(NewSmallPngHSliderBarEx(&bar, owner.m_hWnd, a, UiTheme{}), 1);
        const int32_t values[] = {100, 200, 400, 800, 1600};
        const std::vector<int32_t> marks = ScalePositions(650, 10, 5);
        bar.SetRange(1, 5);
        bar.SetValueList(values, 5);
        bar.SetScalePos(5, marks.data());
        bar.SetTwoThumbs(false, nullptr, 0);
        bar.SetValue(1, 400, false);
        ASSERT_TRUE(bar.Model()->DrawsFill());
        const int fillTo = bar.Model()->FillWidth();
        ASSERT_GT(fillTo, 0);
        ASSERT_LT(fillTo, 650);

        Gdiplus::Bitmap shot(650, 29, PixelFormat32bppARGB);
        {
            Gdiplus::Graphics g(&shot);
            bar.Render(g, 0, 0);
        }
        int wrong = 0;
        for (int y = 0; y < 29; ++y)
            for (int x = 0; x < 650; ++x) {
                Gdiplus::Color got, want;
                shot.GetPixel(x, y, &got);
                (x < fillTo ? withFill : withTrack)->bmp->GetPixel(x, y, &want);
                const auto apart = [&](int shift) {
                    return std::abs(static_cast<int>((got.GetValue() >> shift) & 0xFF) -
                                    static_cast<int>((want.GetValue() >> shift) & 0xFF)) > 1;
                };
                if ((apart(0) || apart(8) || apart(16) || apart(24)) && ++wrong <= 3)
                    ADD_FAILURE() << (asked ? "asked" : "given") << " at " << x << "," << y << ": "
                                  << std::hex << got.GetValue() << " not " << want.GetValue();
            }
        EXPECT_EQ(wrong, 0) << (asked ? "asked" : "given");
    }
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

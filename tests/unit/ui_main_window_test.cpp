// The main window's decisions without a window: device states, timers, the reset window, the
// readiness check, the battery indicator, the progress bar and the window's geometry.
#include <gtest/gtest.h>

#include "app/gvar.h"
#include "ui/main_window_model.h"

namespace {

TEST(MainWindowModel, DeviceStates) {
    struct Case {
        MainDeviceFacts f;
        MainDeviceState want;
    };
    const Case cases[] = {
        {{}, MainDeviceState::kNoDevice},
        {{.findTimer = true}, MainDeviceState::kSearching},
        {{.findTimer = true, .foundTimer = true}, MainDeviceState::kFound},
        {{.hasDevice = true, .foundTimer = true}, MainDeviceState::kFound},
        {{.hasDevice = true, .readRunning = true}, MainDeviceState::kReading},
        {{.hasDevice = true}, MainDeviceState::kReady},
        // A pass for another receiver while the mouse is in use does not hide it.
        {{.hasDevice = true, .findTimer = true}, MainDeviceState::kReady},
        {{.hasDevice = true, .applying = true}, MainDeviceState::kApplying},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DeviceStateName(DeviceStateOf(c.f)), std::string(DeviceStateName(c.want)));
    }
}

TEST(MainWindowModel, TimersStartOnceAndAgainAfterExpiry) {
    MainTimers t;
    EXPECT_TRUE(t.OnDevFound());
    EXPECT_FALSE(t.OnDevFound()) << "a burst of WM_DEV_FOUND takes the device over once";
    t.OnDevFoundExpired();
    EXPECT_TRUE(t.OnDevFound()) << "a later acceptance starts the take-over again";

    EXPECT_TRUE(t.OnSyncOk());
    EXPECT_FALSE(t.OnSyncOk()) << "the battery poll is not restarted by every read";
    EXPECT_TRUE(t.PowerRunning());

    EXPECT_FALSE(TooManyDevices(0));
    EXPECT_FALSE(TooManyDevices(1));
    EXPECT_TRUE(TooManyDevices(2));
}

TEST(MainWindowModel, ProfileNotificationWithinTheResetWindowIsIgnored) {
    struct Case {
        uint32_t now, reset;
        bool ignored;
    };
    const Case cases[] = {
        {10000, 0, false},                // never reset
        {10000, 6000, true},              // 4 s after the request
        {10999, 6000, true},              // 4999 ms: still the reset's own
        {11000, 6000, false},             // 5000 ms: a real switch
        {12000, 6000, false},             // 6 s later
        {0x00000F00, 0xFFFFFF00, true},   // the tick counter wrapped 3.8 s after the request
        {0x00002000, 0xFFFFFF00, false},  // 8.4 s after, across the wrap
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsResetNotification(c.now, c.reset), c.ignored) << c.now << " " << c.reset;
    }
}

TEST(MainWindowModel, CheckDeviceReadyBranches) {
    struct Case {
        ReadyFacts f;
        int connect;  // the mouse's answer to GetConnectStatus
        const char* refusal;
        bool asks;  // the mouse is asked
    };
    const Case cases[] = {
        // A read in progress refuses before anything else.
        {{.syncDone = false, .anyHandle = true, .applyNow = true}, 1, "tc_adv_str15", false},
        {{.anyHandle = true}, 0, "", false},
        {{.anyHandle = true, .applyNow = true}, 1, "", true},
        {{.anyHandle = true, .applyNow = true}, 0, "tc_msg10", true},
        {{.anyHandle = true, .applyNow = true, .goWithNoDev = true}, 0, "", false},
        {{}, 1, "tc_msg15", false},
        // No mouse was ever read: the missing mouse is the reason, not a read in progress.
        {{.syncDone = false}, 1, "tc_msg15", false},
        {{.goWithNoDev = true}, 0, "", false},
    };
    for (const Case& c : cases) {
        int asked = 0;
        const std::string r = ReadyRefusal(c.f, [&] {
            ++asked;
            return c.connect;
        });
        EXPECT_EQ(r, c.refusal);
        EXPECT_EQ(asked, c.asks ? 1 : 0) << c.refusal;
    }
}

TEST(BatteryIndicator, PictureByCriticalLevels) {
    const std::array<uint8_t, 4> critical{25, 50, 75, 100};
    struct Case {
        int level, picture;
    };
    const Case cases[] = {{0, 1}, {25, 1}, {26, 2}, {50, 2}, {51, 3}, {75, 3}, {76, 4}, {100, 4}};
    for (const Case& c : cases) {
        EXPECT_EQ(PowerPicture(c.level, critical), c.picture) << c.level;
    }
    // The fourth value is never asked: a level above it still shows the last picture.
    EXPECT_EQ(PowerPicture(90, {10, 20, 30, 40}), 4);
    EXPECT_EQ(PowerPicture(50, {60, 20, 30, 40}), 1);
}

TEST(BatteryIndicator, PercentageTextByShowPower) {
    struct Case {
        int showPower, level;
        bool charging;
        const char* text;  // nullptr: no text
    };
    const Case cases[] = {
        {0, 80, true, nullptr},  {0, 100, true, "100 %"}, {0, 80, false, "80 %"},
        {1, 80, false, nullptr}, {4, 80, true, "80 %"},   {5, 7, false, "7 %"},
        {2, 60, false, "60 %"},
    };
    for (const Case& c : cases) {
        auto t = PowerText(c.showPower, c.level, c.charging);
        EXPECT_EQ(t.has_value(), c.text != nullptr) << c.showPower << " " << c.level;
        if (t && c.text) {
            EXPECT_EQ(*t, c.text);
        }
    }
    EXPECT_TRUE(PowerShownOnReading(0));
    EXPECT_TRUE(PowerShownOnReading(5));
    EXPECT_FALSE(PowerShownOnReading(2));
    EXPECT_EQ(ChargeTimerFor(true, 1), ChargeTimer::kStop);  // charge complete
    EXPECT_EQ(ChargeTimerFor(true, 40), ChargeTimer::kRun);
    EXPECT_EQ(ChargeTimerFor(false, 40), ChargeTimer::kStop);
}

TEST(ProgressWindow, PositionsOutsideTheRangeShowAnEmptyBar) {
    ProgressBar bar;
    bar.SetRange(0, 100);
    const int left = 45, right = 486;
    bar.SetPos(150);
    EXPECT_EQ(bar.Pos(), 0);
    EXPECT_EQ(bar.FillRight(left, right), left);
    bar.SetPos(-3);
    EXPECT_EQ(bar.FillRight(left, right), left);
    bar.SetPos(60);
    EXPECT_EQ(bar.FillRight(left, right), 45 + 60 * 441 / 100);
    bar.SetPos(100);
    EXPECT_EQ(bar.FillRight(left, right), right);
    bar.SetRange(5, 5);
    EXPECT_EQ(bar.FillRight(left, right), left) << "an empty range must not divide by zero";
}

TEST(MainWindowModel, NavigationButtonsFromNaviW) {
    MainLayoutInput in;
    in.naviW = 0;
    MainLayout l = LayoutMainWindow(in);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(l.navi[i].right - l.navi[i].left, 60);
        EXPECT_EQ(l.navi[i].bottom - l.navi[i].top, 49);
        EXPECT_EQ(l.navi[i].top, 110);
    }
    EXPECT_EQ(l.navi[0].left, 25);
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(l.navi[i].left - l.navi[i - 1].right, 4);
    }

    in.naviW = 70;
    l = LayoutMainWindow(in);
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(l.navi[i].right - l.navi[i].left, 70);
        EXPECT_EQ(l.navi[i].left, l.navi[i - 1].right) << "they touch";
    }

    // Without the macro page the lighting button takes its place beside the others.
    in.showMacro = false;
    l = LayoutMainWindow(in);
    EXPECT_FALSE(l.naviShown[2]);
    EXPECT_EQ(l.navi[3].left, l.navi[1].right);

    in.b4K = true;
    l = LayoutMainWindow(in);
    EXPECT_EQ(l.navi[0], (ZvRect{50, 220, 190, 318}));
}

TEST(MainWindowModel, ButtonsListLinkBatteryAndPages) {
    MainLayoutInput in;
    MainLayout l = LayoutMainWindow(in);
    EXPECT_EQ(l.minBtn, (ZvRect{952, 12, 977, 37}));
    EXPECT_EQ(l.exitBtn, (ZvRect{980, 12, 1005, 37}));
    EXPECT_EQ(l.helpBtn, (ZvRect{924, 12, 949, 37}));
    EXPECT_EQ(l.langList, (ZvRect{791, 10, 902, 40}));
    EXPECT_EQ(l.power, (ZvRect{949, 66, 986, 109}));
    EXPECT_EQ(l.pages, (ZvRect{1, 160, 1019, 699}));
    // A percentage wider than the picture: the place grows about the picture's centre, to the
    // text's width and a pixel each side; one that fits changes nothing.
    for (const auto& [text, place] :
         {std::pair{35, ZvRect{949, 66, 986, 109}}, std::pair{40, ZvRect{947, 66, 989, 109}},
          std::pair{41, ZvRect{946, 66, 989, 109}}}) {
        in.powerTextWidth = text;
        EXPECT_EQ(LayoutMainWindow(in).power, place) << text;
    }
    in.powerTextWidth = 0;
    EXPECT_EQ(l.homeLink, (ZvRect{25, 672, 155, 690}));
    EXPECT_FALSE(l.homeShown) << "no link without its text";

    in.homeText = true;
    in.rcSubDlg = {2, 150, 1000, 690};
    in.rcHomePageBtn = {30, 600, 200, 620};
    in.b4K = true;
    l = LayoutMainWindow(in);
    EXPECT_TRUE(l.homeShown);
    // The link moves with the logo it lies over; left where it was, it would show an unscaled
    // copy of the logo beside the scaled one.
    EXPECT_EQ(l.homeLink, (ZvRect{60, 1200, 400, 1240}));
    EXPECT_EQ(l.pages, (ZvRect{4, 300, 2000, 1380}));
    EXPECT_EQ(l.minBtn, (ZvRect{1904, 24, 1954, 74}));
    EXPECT_EQ(PageTitleRect(true), (ZvRect{86, 36, 686, 84}));
}

TEST(MainWindowModel, ScreenPlacement) {
    struct Pos {
        int ww, wh, w, h, x, y;
    };
    const Pos pos[] = {
        {1920, 1040, 1020, 700, 450, 170},
        {1021, 701, 1020, 700, 10, 10},  // less than 2 pixels larger
        {1022, 600, 1020, 700, 1, 10},
    };
    for (const Pos& p : pos) {
        ZvPoint got = CentreOnWorkArea(p.ww, p.wh, p.w, p.h);
        EXPECT_EQ(got.x, p.x) << p.ww;
        EXPECT_EQ(got.y, p.y) << p.wh;
    }
    EXPECT_TRUE(DecideScreen(3840, 2100).b4K);
    EXPECT_FALSE(DecideScreen(3840, 1450).b4K);
    EXPECT_TRUE(DecideScreen(3840, 1450).tooSmall);
    EXPECT_FALSE(DecideScreen(1920, 2100).b4K);
    EXPECT_FALSE(DecideScreen(1920, 2100).tooSmall);
}

TEST(MainWindowModel, PageAndAboutKeys) {
    using K = MainKeyAction;
    struct Case {
        uint32_t vk;
        bool ctrl, shift, alt;
        K::Kind kind;
        int navi;
    };
    const Case cases[] = {
        {'1', true, false, false, K::kPage, 0},
        {'4', true, false, false, K::kPage, 3},
        {0x62, true, false, false, K::kPage, 1},  // number pad 2
        {'5', true, false, false, K::kNone, 0},
        {'2', false, false, false, K::kNone, 0},
        {'2', true, true, false, K::kNone, 0},
        {0x09, true, false, false, K::kNextPage, 0},
        {0x09, true, true, false, K::kPreviousPage, 0},
        {0x09, false, false, false, K::kNone, 0},  // plain Tab is the focus's
        {0x70, false, false, false, K::kAbout, 0},
        {0x70, false, false, true, K::kNone, 0},
    };
    for (const Case& c : cases) {
        const K a = MainWindowKey(c.vk, c.ctrl, c.shift, c.alt);
        EXPECT_EQ(a.kind, c.kind) << std::hex << c.vk << " ctrl " << c.ctrl << " shift " << c.shift;
        if (c.kind == K::kPage) {
            EXPECT_EQ(a.navi, c.navi) << std::hex << c.vk;
        }
    }
    // The macro page's button (third) hidden: Ctrl+Tab steps over it and goes round.
    const bool shown[4] = {true, true, false, true};
    EXPECT_EQ(StepNavi(1, shown, +1), 3);
    EXPECT_EQ(StepNavi(3, shown, +1), 0);
    EXPECT_EQ(StepNavi(0, shown, -1), 3);
    const bool alone[4] = {true, false, false, false};
    EXPECT_EQ(StepNavi(0, alone, +1), 0);
}

TEST(MainWindowModel, KeysAndButtons) {
    const uint32_t kDown = 0x100, kSysUp = 0x105, kChar = 0x102;
    EXPECT_TRUE(SwallowsKey(kMainWindowKeys, kDown, 0x0D));
    EXPECT_TRUE(SwallowsKey(kMainWindowKeys, kSysUp, 0x70));
    EXPECT_FALSE(SwallowsKey(kMainWindowKeys, kChar, 0x0D));
    EXPECT_FALSE(SwallowsKey(kMainWindowKeys, kDown, 'A'));
    EXPECT_FALSE(SwallowsKey(kAboutKeys, kDown, 0x0D)) << "Enter still presses the about buttons";
    EXPECT_FALSE(SwallowsKey(kProgressKeys, kDown, 0x70));

    EXPECT_EQ(OnMinimiseButton(1, 0), MinimiseAction::kMinimise);
    EXPECT_EQ(OnMinimiseButton(0, 3), MinimiseAction::kHideToTray);
    EXPECT_EQ(OnMinimiseButton(0, 2), MinimiseAction::kNothing);
    EXPECT_EQ(OnExitButton(0, 2), ExitAction::kExit);
    EXPECT_EQ(OnExitButton(1, 1), ExitAction::kHideToTray);
    EXPECT_EQ(OnExitButton(1, 2), ExitAction::kNothing);
}

TEST(MainWindowModel, BackgroundOfTheMouseThenTheGeneralOne) {
    gVar.szAppDir = "/opt/zv/";
    auto p = MainBackgroundPaths(0x0A, 0x3C);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0], "/opt/zv/skins/0a3c/key_nr.png");
    EXPECT_EQ(p[1], "/opt/zv/skins/key_nr.png");
    EXPECT_EQ(MainBackgroundPaths(0x0A, 0).size(), 1u);
    gVar.szAppDir.clear();
}

TEST(AboutWindow, LinesAndFirmware) {
    AboutLayout l = LayoutAbout(true, false);
    EXPECT_EQ(l.b, (ZvRect{60, 60, 420, 80}));
    EXPECT_EQ(l.c, (ZvRect{60, 80, 420, 100}));
    l = LayoutAbout(false, false);
    EXPECT_EQ(l.b, (ZvRect{60, 70, 420, 90}));
    EXPECT_EQ(LayoutAbout(true, true).a, (ZvRect{24, 18, 780, 58}));

    EXPECT_EQ(FirmwareLine("Firmware:", 0x0102), std::optional<std::string>("Firmware: 0102"));
    EXPECT_FALSE(FirmwareLine("", 0x0102));
    EXPECT_FALSE(FirmwareLine("Firmware:", std::nullopt));
    EXPECT_EQ(FirmwareLine(std::string(200, 'x'), 0x0102)->size(), 99u);
}

}  // namespace

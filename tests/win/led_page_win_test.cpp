// The lighting page and the older performance page in a window over the virtual mouse, driven
// with real mouse messages: what reaches the mouse (or the system's pointer settings) and what
// must not.
#include <gtest/gtest.h>

#include <cstdlib>

#include <algorithm>
#include <string>
#include <vector>

#include "device/eeprom_map.h"
#include "controls/skin_paths.h"
#include "controls/win/menu_dlg.h"
#include "ui/lighting_model.h"
#include "ui/win/adv_dlg.h"
#include "ui/win/led_dlg.h"
#include "win/page_world.h"

namespace {

using Bytes = std::vector<uint8_t>;

class LedPageWin : public zvtest::PageWorld {
  protected:
    void TearDown() override {
        page.DestroyWindow();
        PageWorld::TearDown();
    }
    // A click on preset swatch i.
    void ClickPreset(int i) {
        const ZvRect& r = page.Layout().presets[static_cast<size_t>(i)];
        Click(page.m_hWnd, r.left + 5, r.top + 5);
    }

    std::vector<std::string> shown;
    CLedDlg page{PageParts{pageHost, TheProfile(), gVar, gVar, g_MacroList}};
};

TEST_F(LedPageWin, HeldLightingKeepsTheColourInTheProfileAndSaysSo) {
    gVar.pFile->mainLight.mode = 2;
    page.SetShowText([this](HWND, const std::string& key) { shown.push_back(key); });
    ASSERT_TRUE(Open(page));
    ASSERT_TRUE(page.ColourShown());
    const Bytes before = mouse.Peek(eeprom::kMainLight, 7);
    mouse.rx->WithMouse([](sim::VirtualMouse& m) { m.State().lightingOpen = false; });

    ClickPreset(6);  // blue
    WaitWritten();
    EXPECT_EQ(shown, std::vector<std::string>{"tc_adv_str29"});
    EXPECT_EQ(gVar.pFile->mainLight.colour, Rgb(0, 0, 255));
    EXPECT_FALSE(Wrote(eeprom::kMainLight));
    EXPECT_EQ(mouse.Peek(eeprom::kMainLight, 7), before);

    // Once the mouse lets go, the next pick goes out with the page's values.
    mouse.rx->WithMouse([](sim::VirtualMouse& m) { m.State().lightingOpen = true; });
    ClickPreset(9);  // 96, 25, 134
    WaitWritten();
    EXPECT_EQ(shown.size(), 1u);
    const Bytes written = mouse.Peek(eeprom::kMainLight, 7);
    EXPECT_EQ(Bytes(written.begin() + 1, written.begin() + 4), (Bytes{96, 25, 134}));
}

TEST_F(LedPageWin, WithoutApplyNowNothingReachesTheMouse) {
    gVar.ApplyNow = 0;
    gVar.pFile->mainLight = {2, 7, 5, Rgb(1, 2, 3), {}};
    gVar.pFile->nLightOffOnMoving = 0;
    ASSERT_TRUE(Open(page));
    ClickPreset(0);
    Click(page.OffOnMoving().m_hWnd, 3, 3);
    CPngSliderBar& speed = page.Slider(LightSlider::kMainSpeed);
    ASSERT_TRUE(::IsWindowVisible(speed.m_hWnd));
    Click(speed.m_hWnd, speed.Model()->Thumb().scale.Positions().at(1), 10);
    WaitWritten();
    // The profile took every change; the mouse heard nothing, not even the lighting question.
    EXPECT_EQ(gVar.pFile->mainLight.colour, Rgb(255, 0, 0));
    EXPECT_EQ(gVar.pFile->nLightOffOnMoving, 1);
    EXPECT_EQ(gVar.pFile->mainLight.speed, 2u);
    EXPECT_TRUE(mouse.Sent().empty());
}

TEST_F(LedPageWin, LogoOnlyMouseWritesItsColourToTheLogoRecord) {
    cfg.ShowMainEffect = 0;
    cfg.ShowLogoEffect = 1;
    gVar.pFile->logoLight = {2, 3, 4, Rgb(1, 2, 3), {}};  // mode, speed, brightness, colour
    ASSERT_TRUE(Open(page));
    EXPECT_FALSE(::IsWindowVisible(page.ModeCombo(false).m_hWnd));
    EXPECT_TRUE(::IsWindowVisible(page.ModeCombo(true).m_hWnd));
    const Bytes main = mouse.Peek(eeprom::kMainLight, 7);

    ClickPreset(6);  // 0, 0, 255
    WaitWritten();
    EXPECT_EQ(gVar.pFile->logoLight.colour, Rgb(0, 0, 255));
    // Colour and its check byte (0x55 - 0xff), then mode 2, brightness step 4 (100) and
    // speed 3, each with its check byte.
    EXPECT_EQ(mouse.Peek(eeprom::kLogo, 10),
              (Bytes{0x00, 0x00, 0xff, 0x56, 0x02, 0x53, 0x64, 0xf1, 0x03, 0x52}));
    EXPECT_FALSE(Wrote(eeprom::kMainLight));
    EXPECT_EQ(mouse.Peek(eeprom::kMainLight, 7), main);
}

// A mouse with main and logo lighting: the zone buttons choose which zone the mode list,
// sliders and colour edit, and each zone keeps its own colour. The logo's colour (distinct
// from the main one) stays when its mode changes; a colour picked for one zone reaches that
// zone's record only.
TEST_F(LedPageWin, BothZonesEachKeepTheirOwnColour) {
    cfg.ShowMainEffect = 1;
    cfg.ShowLogoEffect = 1;
    gVar.pFile->mainLight = {2, 7, 5, Rgb(0x11, 0x22, 0x33), {}};
    gVar.pFile->logoLight = {1, 3, 4, Rgb(0x00, 0x80, 0xff), {}};
    ASSERT_TRUE(Open(page));
    ASSERT_TRUE(::IsWindowVisible(page.ZoneButton(0).m_hWnd));
    ASSERT_TRUE(::IsWindowVisible(page.ZoneButton(1).m_hWnd));
    EXPECT_TRUE(page.ZoneButton(0).GetCheck());
    EXPECT_TRUE(::IsWindowVisible(page.ModeCombo(false).m_hWnd));
    EXPECT_FALSE(::IsWindowVisible(page.ModeCombo(true).m_hWnd));
    EXPECT_EQ(page.View().colour, Rgb(0x11, 0x22, 0x33));

    Click(page.ZoneButton(1).m_hWnd, 5, 5);
    EXPECT_TRUE(page.ZoneButton(1).GetCheck());
    EXPECT_FALSE(page.ZoneButton(0).GetCheck());
    EXPECT_FALSE(::IsWindowVisible(page.ModeCombo(false).m_hWnd));
    EXPECT_TRUE(::IsWindowVisible(page.ModeCombo(true).m_hWnd));
    EXPECT_EQ(page.View().colour, Rgb(0x00, 0x80, 0xff));
    // The logo's sliders, not the main ones.
    EXPECT_TRUE(::IsWindowVisible(page.Slider(LightSlider::kLogoBrightness).m_hWnd));
    EXPECT_FALSE(::IsWindowVisible(page.Slider(LightSlider::kMainBrightness).m_hWnd));
    EXPECT_FALSE(::IsWindowVisible(page.Slider(LightSlider::kMainSpeed).m_hWnd));

    // Mode 2 for the logo: written with the logo's own colour.
    ::SendMessageW(page.ModeCombo(true).m_hWnd, WM_MENU_RESULT, 2, 0);  // the list's choice
    WaitWritten();
    EXPECT_EQ(gVar.pFile->logoLight.mode, 2u);
    EXPECT_EQ(mouse.Peek(eeprom::kLogo, 5), (Bytes{0x00, 0x80, 0xff, 0xd6, 0x02}));
    ClickPreset(6);  // 0, 0, 255 for the logo
    WaitWritten();
    EXPECT_EQ(gVar.pFile->logoLight.colour, Rgb(0, 0, 255));
    EXPECT_EQ(gVar.pFile->mainLight.colour, Rgb(0x11, 0x22, 0x33));
    EXPECT_EQ(mouse.Peek(eeprom::kLogo, 4), (Bytes{0x00, 0x00, 0xff, 0x56}));
    EXPECT_FALSE(Wrote(eeprom::kMainLight));

    // Back to the main zone: its preset goes to the main record only.
    Click(page.ZoneButton(0).m_hWnd, 5, 5);
    ClickPreset(0);  // 255, 0, 0
    WaitWritten();
    EXPECT_EQ(gVar.pFile->mainLight.colour, Rgb(255, 0, 0));
    EXPECT_EQ(gVar.pFile->logoLight.colour, Rgb(0, 0, 255));
    const Bytes main = mouse.Peek(eeprom::kMainLight, 7);
    EXPECT_EQ(Bytes(main.begin() + 1, main.begin() + 4), (Bytes{255, 0, 0}));
    EXPECT_EQ(mouse.Peek(eeprom::kLogo, 4), (Bytes{0x00, 0x00, 0xff, 0x56}));
}

// The page refreshed while hidden (a profile switch seen from another page) shows the new
// profile's controls once shown: no speed slider left over from the previous mode.
TEST_F(LedPageWin, ProfileShownWhileHiddenLeavesNoStaleSlider) {
    gVar.pFile->mainLight = {2, 7, 5, Rgb(1, 2, 3), {}};  // breathing: speed and brightness
    ASSERT_TRUE(Open(page));
    ASSERT_TRUE(::IsWindowVisible(page.Slider(LightSlider::kMainSpeed).m_hWnd));
    page.Show(false);
    gVar.pFile->mainLight.mode = 1;  // steady: no speed
    page.Refresh();
    page.Show(true);
    EXPECT_FALSE(::IsWindowVisible(page.Slider(LightSlider::kMainSpeed).m_hWnd));
    EXPECT_TRUE(::IsWindowVisible(page.Slider(LightSlider::kMainBrightness).m_hWnd));
    // And back, hidden again: the speed comes back.
    page.Show(false);
    gVar.pFile->mainLight.mode = 2;
    page.Refresh();
    page.Show(true);
    EXPECT_TRUE(::IsWindowVisible(page.Slider(LightSlider::kMainSpeed).m_hWnd));
}

// The red box emptied stays empty while it has the focus (no "0" before the caret); "50"
// typed then is red 50.
TEST_F(LedPageWin, EmptiedColourBoxTakesTheNumberTyped) {
    gVar.pFile->mainLight = {2, 7, 5, Rgb(200, 100, 20), {}};
    ASSERT_TRUE(Open(page));
    const HWND red = page.ColourEdit(0);
    ::SetFocus(red);
    zvtest::Pump(10);
    auto text = [red] {
        wchar_t buf[16] = {};
        ::GetWindowTextW(red, buf, 16);
        return std::wstring(buf);
    };
    ::SendMessageW(red, EM_SETSEL, 0, -1);
    ::SendMessageW(red, WM_CLEAR, 0, 0);
    WaitWritten();
    EXPECT_EQ(text(), L"");
    for (wchar_t c : {L'5', L'0'}) ::SendMessageW(red, WM_CHAR, c, 1);
    WaitWritten();
    EXPECT_EQ(text(), L"50");
    EXPECT_EQ(gVar.pFile->mainLight.colour, Rgb(50, 100, 20));
    const Bytes written = mouse.Peek(eeprom::kMainLight, 7);
    EXPECT_EQ(Bytes(written.begin() + 1, written.begin() + 4), (Bytes{50, 100, 20}));
}

TEST_F(LedPageWin, ModeWithoutColourHidesTheColourControls) {
    gVar.pFile->mainLight.mode = 3;  // the shipped entry: speed and brightness, no colour
    ASSERT_TRUE(Open(page));
    EXPECT_FALSE(page.ColourShown());
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(::IsWindowVisible(page.ColourEdit(i))) << i;
    EXPECT_TRUE(::IsWindowVisible(page.Slider(LightSlider::kMainSpeed).m_hWnd));
    EXPECT_TRUE(::IsWindowVisible(page.Slider(LightSlider::kMainBrightness).m_hWnd));
    // (A click there would start dragging the window, which a test cannot end.)
    // Nor are the empty frames of the swatch, the wheel and the presets left standing: where
    // each lies the panel shows as it does at its left edge, at the same height.
    ::RedrawWindow(page.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    zvtest::Pump(30);
    HDC dc = ::GetDC(page.m_hWnd);
    const struct {
        const char* what;
        int x, y;
    } frames[] = {{"swatch", 95, 142}, {"wheel", 229, 275}, {"presets", 231, 439}};
    for (const auto& f : frames) {
        const COLORREF inside = ::GetPixel(dc, f.x, f.y), panel = ::GetPixel(dc, 30, f.y);
        EXPECT_LE(std::abs(GetRValue(inside) - GetRValue(panel)) +
                      std::abs(GetGValue(inside) - GetGValue(panel)) +
                      std::abs(GetBValue(inside) - GetBValue(panel)),
                  6)
            << f.what;
    }
    ::ReleaseDC(page.m_hWnd, dc);
}

// The mouse picture shows the light zone in the chosen colour: red, then green from a preset
// (channels apart, so a light left in the old colour, or in the cycle's, shows); a mode that
// picks its own colours still lights the zone; off leaves it dark. Read where the zone's light
// is solid in its picture.
TEST_F(LedPageWin, MousePictureShowsTheZonesColour) {
    gVar.pFile->mainLight = {2, 7, 10, Rgb(255, 0, 0), {}};
    ASSERT_TRUE(Open(page));
    PicturePtr light = LoadSkinPicture(DeviceSkinPath(
        static_cast<uint8_t>(cfg.CID), static_cast<uint8_t>(cfg.MID), "mouse_zone_main.png"));
    ASSERT_TRUE(PicturePresent(light.get()));
    std::vector<POINT> solid;
    for (int y = 0; y < PictureHeight(light.get()); ++y)
        for (int x = 0; x < PictureWidth(light.get()); x += 3) {
            Gdiplus::Color c;
            light->bmp->GetPixel(x, y, &c);
            if (c.GetA() == 255) solid.push_back(POINT{cfg.ptLedMark.x + x, cfg.ptLedMark.y + y});
        }
    ASSERT_GE(solid.size(), 10u);
    // How many of the solid points show the colour with channel `ch` (0 red, 1 green, 2 blue)
    // well above the other two.
    auto showing = [&](int ch) {
        ::RedrawWindow(page.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        zvtest::Pump(30);
        HDC dc = ::GetDC(page.m_hWnd);
        size_t n = 0;
        for (const POINT& pt : solid) {
            const COLORREF c = ::GetPixel(dc, pt.x, pt.y);
            const int v[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
            n += v[ch] > v[(ch + 1) % 3] + 100 && v[ch] > v[(ch + 2) % 3] + 100;
        }
        ::ReleaseDC(page.m_hWnd, dc);
        return n;
    };
    EXPECT_EQ(showing(0), solid.size()) << "red";
    ClickPreset(2);  // 0, 255, 0
    WaitWritten();
    EXPECT_EQ(showing(1), solid.size()) << "green";
    EXPECT_EQ(showing(0), 0u);

    ::SendMessageW(page.ModeCombo(false).m_hWnd, WM_MENU_RESULT, 3, 0);  // its own colours
    WaitWritten();
    EXPECT_EQ(page.Preview(LightZone::kMain).kind, ZonePreview::Kind::kCycle);
    EXPECT_EQ(showing(1), 0u) << "the chosen colour left on a mode that does not use it";
    ::SendMessageW(page.ModeCombo(false).m_hWnd, WM_MENU_RESULT, 0, 0);  // off
    WaitWritten();
    for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(showing(ch), 0u) << "off, channel " << ch;
}

// On a large screen every control lies at twice its normal place and size, and a click where a
// preset swatch is drawn picks that swatch, not the one at half the distance.
TEST_F(LedPageWin, LargeScreenDoublesEveryPlaceAndTheSwatchesUnderTheClick) {
    gVar.pFile->mainLight = {2, 7, 5, Rgb(1, 2, 3), {}};
    ASSERT_TRUE(Open(page, true));
    ASSERT_TRUE(page.ColourShown());
    const ZvPoint eft = gVar.ptLedEft, light = gVar.ptLight, sleep = gVar.ptSleep;
    ExpectDoubled({
        {"main mode", page.ModeCombo(false).m_hWnd, {eft.x, eft.y, eft.x + 147, eft.y + 30}},
        {"brightness",
         page.Slider(LightSlider::kMainBrightness).m_hWnd,
         {light.x, light.y - 5, light.x + 261, light.y + 15}},
        {"green box", page.ColourEdit(1), page.Layout().edits[1]},
        {"sleep", page.SleepCombo().m_hWnd, {sleep.x, sleep.y, sleep.x + 83, sleep.y + 19}},
        {"light off while moving", page.OffOnMoving().m_hWnd,
         Box(gVar.ptLightOffOnMoving, "check_nr.png")},
    });
    ExpectDoubledMarks(page.Slider(LightSlider::kMainSpeed).Model()->Thumb().scale.Positions(), 261,
                       "speed");

    // Preset 9 (96, 25, 134) where it is drawn (taken as a place of the normal layout, the
    // click would fall below and right of every swatch).
    const ZvRect& r = page.Layout().presets[9];
    // A double click picks a swatch like a press and, missing, never starts dragging the
    // window (which a test could not end).
    ::SendMessageW(page.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON,
                   MAKELPARAM(2 * r.left + 10, 2 * r.top + 10));
    WaitWritten();
    EXPECT_EQ(gVar.pFile->mainLight.colour, Rgb(96, 25, 134));
    const Bytes written = mouse.Peek(eeprom::kMainLight, 7);
    EXPECT_EQ(Bytes(written.begin() + 1, written.begin() + 4), (Bytes{96, 25, 134}));
}

// A press on the result swatch gives it a white frame, which it keeps.
TEST_F(LedPageWin, PressedSwatchKeepsAWhiteFrame) {
    gVar.pFile->mainLight.mode = 2;
    page.SetChooser([](HWND, COLORREF*) { return false; });
    ASSERT_TRUE(Open(page));
    const ZvRect& r = page.Layout().result;
    auto corner = [&] {
        ::InvalidateRect(page.m_hWnd, nullptr, TRUE);
        ::UpdateWindow(page.m_hWnd);
        zvtest::Pump(10);
        HDC dc = ::GetDC(page.m_hWnd);
        const COLORREF c = ::GetPixel(dc, r.left, r.top);
        ::ReleaseDC(page.m_hWnd, dc);
        return c;
    };
    EXPECT_NE(corner(), RGB(255, 255, 255));
    // Pressed and let go on the swatch itself, as the system delivers a click there.
    const LPARAM at = MAKELPARAM(r.left + 5, r.top + 5);
    ::SendMessageW(page.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(page.m_hWnd, WM_LBUTTONUP, 0, at);
    zvtest::Pump(30);
    EXPECT_EQ(corner(), RGB(255, 255, 255));
    EXPECT_TRUE(mouse.Sent().empty());
}

class AdvPageWin : public zvtest::PageWorld {
  protected:
    void SetUp() override {
        PageWorld::SetUp();
        gVar.ShowSys = 1;
        ::SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speedBefore, 0);
        dbClickBefore = ::GetDoubleClickTime();
        // The profile carries the system's own settings, so only what the test changes moves.
        UINT lines = 3;
        ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
        int accel[3] = {};
        ::SystemParametersInfoW(SPI_GETMOUSE, 0, accel, 0);
        int trails = 0;
        ::SystemParametersInfoW(SPI_GETMOUSETRAILS, 0, &trails, 0);
        ProfileFile& p = *gVar.pFile;
        p.nPointerSpeed = speedBefore;
        p.nWheelLines = static_cast<int32_t>(lines);
        p.nDbClickTime = static_cast<int32_t>(::GetDoubleClickTime());
        p.nEnhancePrecision = precisionBefore = accel[2] != 0;
        p.nMouseTrails = trails;
    }
    void TearDown() override {
        page.DestroyWindow();
        ::SystemParametersInfoW(SPI_SETMOUSESPEED, 0,
                                reinterpret_cast<void*>(static_cast<intptr_t>(speedBefore)),
                                SPIF_UPDATEINIFILE);
        ::SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, dbClickBefore, nullptr, SPIF_UPDATEINIFILE);
        PageWorld::TearDown();
    }

    int speedBefore = 10;
    UINT dbClickBefore = 500;
    int32_t precisionBefore = 0;
    CAdvDlg page{PageParts{pageHost, TheProfile(), gVar, gVar, g_MacroList}};
};

// Wine keeps no pointer speed (it answers 0 whatever was set), so the double-click time shows
// that the page's settings reach the system's pointer call; the speed is checked in the profile
// the same call is handed.
TEST_F(AdvPageWin, PointerSettingsReachTheSystem) {
    ASSERT_TRUE(Open(page));
    CPngSliderBar& speed = page.SystemSlider(PointerSlider::kSpeed);
    ASSERT_TRUE(::IsWindowVisible(speed.m_hWnd));
    // Position 3 is speed 4, or position 9 (16) when the profile already has 4.
    const int position = speedBefore == 4 ? 9 : 3;
    const int want = PointerSliderValue(PointerSlider::kSpeed, position);
    Click(speed.m_hWnd, speed.Model()->Thumb().scale.Positions().at(position - 1), 10);
    WaitWritten();
    EXPECT_EQ(gVar.pFile->nPointerSpeed, want);
    EXPECT_EQ(speed.GetValue(), position);

    // Position 2 is 830 ms, or position 10 (270 ms) when the system already has 830.
    CPngSliderBar& dbClick = page.SystemSlider(PointerSlider::kDoubleClick);
    const int dbPosition = dbClickBefore == 830 ? 10 : 2;
    const int dbWant = PointerSliderValue(PointerSlider::kDoubleClick, dbPosition);
    Click(dbClick.m_hWnd, dbClick.Model()->Thumb().scale.Positions().at(dbPosition - 1), 10);
    WaitWritten();
    EXPECT_EQ(gVar.pFile->nDbClickTime, dbWant);
    EXPECT_EQ(::GetDoubleClickTime(), static_cast<UINT>(dbWant));
    EXPECT_EQ(gVar.pFile->nPointerSpeed, want);
    // The mouse itself is not written for a system setting.
    EXPECT_TRUE(mouse.WriteAddresses().empty());
}

TEST_F(AdvPageWin, RefusedDeviceLeavesThePointerAlone) {
    pageHost.ready = 0;
    ASSERT_TRUE(Open(page));
    CPngSliderBar& bar = page.SystemSlider(PointerSlider::kSpeed);
    const int32_t shown = bar.GetValue();
    Click(bar.m_hWnd, bar.Model()->Thumb().scale.Positions().at(shown == 3 ? 8 : 2), 10);
    Click(page.PrecisionBox().m_hWnd, 3, 3);
    WaitWritten();
    EXPECT_EQ(bar.GetValue(), shown);
    EXPECT_EQ(gVar.pFile->nPointerSpeed, speedBefore);
    EXPECT_EQ(gVar.pFile->nEnhancePrecision, precisionBefore);
}

}  // namespace

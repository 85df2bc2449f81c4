// The performance page in a window over the virtual mouse, driven with real mouse messages: a
// rate button, a typed DPI value and a click on a DPI bar reach the mouse's memory through the
// performance model and the apply thread; a refused device changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/device_catalogue.h"
#include "base/language_texts.h"
#include "controls/skin_paths.h"
#include "controls/win/menu_dlg.h"
#include "platform/window.h"
#include "profile/apply_thread.h"
#include "profile/eeprom_reader.h"
#include "profile/profile_defaults.h"
#include "profile/sensor_table.h"
#include "support/sim_link.h"
#include "support/temp_dir.h"
#include "ui/win/adv_dlg.h"
#include "ui/win/new_adv_dlg.h"
#include "win/page_world.h"

namespace {

using Bytes = std::vector<uint8_t>;

class PerfPageWin : public zvtest::PageWorld {
  protected:
    void SetUp() override {
        PageWorld::SetUp();
        ASSERT_EQ(cfg.Sensor, 0x3395);
        gVar.pFile->bSeparateXY = 0;
        gVar.pFile->nRate = 0x1000;
        ASSERT_TRUE(Open(page));
    }
    void TearDown() override {
        page.DestroyWindow();
        PageWorld::TearDown();
    }

    CNewAdvDlg page{PageParts{pageHost, TheProfile(), gVar, gVar, g_MacroList}};
};

TEST_F(PerfPageWin, RateButtonWritesTheRateRecord) {
    ASSERT_TRUE(page.RateButton(3).GetCheck());
    Click(page.RateButton(2).m_hWnd, 5, 5);  // 500 Hz
    WaitWritten();
    EXPECT_EQ(gVar.pFile->nRate, 0x500);
    EXPECT_EQ(mouse.Peek(eeprom::kRate, 2), (Bytes{0x02, 0x53}));
    EXPECT_TRUE(page.RateButton(2).GetCheck());
    EXPECT_FALSE(page.RateButton(3).GetCheck());
}

TEST_F(PerfPageWin, TypedValueSnapsToTheSensorAndWritesThatLevel) {
    std::string prompt;
    page.SetAskNumber([&](HWND, const std::string& p, uint32_t* out) {
        prompt = p;
        *out = 1234;
        return 1;
    });
    const Bytes level1 = mouse.Peek(eeprom::kDpiLevels, 4);
    // Level 2's X value, double-clicked as the system delivers it.
    const HWND label = page.XLabel(1).m_hWnd;
    ::SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    ::SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    ::SendMessageW(label, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3, 3));
    ::SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    WaitWritten();
    EXPECT_FALSE(prompt.empty());
    EXPECT_EQ(gVar.pFile->dpi[1].x, 1250u);
    EXPECT_EQ(page.XLabel(1).GetText(), "1250");
    EXPECT_EQ(page.Bar(1).GetValue(1), 1250);
    // 1250 is code 24 (steps of 50 from 50), X and Y alike, then the check byte.
    EXPECT_EQ(mouse.Peek(eeprom::kDpiLevels + 4, 4), (Bytes{0x18, 0x18, 0x00, 0x25}));
    EXPECT_EQ(mouse.Peek(eeprom::kDpiLevels, 4), level1);
}

// A value above the sensor's highest is stored as the highest and the user is told which;
// one within the range is taken to its nearest step without a word.
TEST_F(PerfPageWin, TypedValueAboveTheSensorSaysWhatWasStored) {
    std::vector<std::string> said;
    uint32_t typed = 0;
    page.SetShowText([&](HWND, const std::string& t) { said.push_back(t); });
    page.SetAskNumber([&](HWND, const std::string&, uint32_t* out) {
        *out = typed;
        return 1;
    });
    const HWND label = page.XLabel(1).m_hWnd;
    auto typeInto = [&](uint32_t v) {
        typed = v;
        ::SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        ::SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        ::SendMessageW(label, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3, 3));
        ::SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        WaitWritten();
    };
    const SensorTable* table = FindSensorTable(static_cast<uint32_t>(cfg.Sensor));
    ASSERT_NE(table, nullptr);
    const auto highest = static_cast<uint32_t>(table->dpi[table->count - 1]);
    typeInto(highest + 8000);
    EXPECT_EQ(gVar.pFile->dpi[1].x, highest);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find(std::to_string(highest + 8000)), std::string::npos) << said[0];
    EXPECT_NE(said[0].find(std::to_string(highest)), std::string::npos) << said[0];
    typeInto(1234);
    EXPECT_EQ(gVar.pFile->dpi[1].x, 1250u);
    EXPECT_EQ(said.size(), 1u);
}

TEST_F(PerfPageWin, ClickOnABarAsksThenMovesBothThumbsAndWrites) {
    CPngHSliderBarEx& bar = page.Bar(2);
    const TwoThumbSliderModel* m = bar.Model();
    ASSERT_FALSE(m->TwoThumbs());
    // The third position of the scale stands for the sensor's third value.
    const int32_t x = m->Thumb(1).scale.Positions().at(2);
    const int32_t want = m->Thumb(1).scale.ValueOf(3);
    Click(bar.m_hWnd, x, 5);
    WaitWritten();
    EXPECT_EQ(bar.GetValue(1), want);
    EXPECT_EQ(bar.GetValue(2), want);  // the hidden Y thumb went along
    EXPECT_EQ(gVar.pFile->dpi[2].x, static_cast<uint32_t>(want));
    EXPECT_EQ(gVar.pFile->dpi[2].y, static_cast<uint32_t>(want));
    EXPECT_EQ(page.XLabel(2).GetText(), std::to_string(want));
    const auto code = static_cast<uint8_t>(want / 50 - 1);
    EXPECT_EQ(mouse.Peek(eeprom::kDpiLevels + 8, 2), (Bytes{code, code}));
}

TEST_F(PerfPageWin, RefusedDeviceLeavesControlsProfileAndMouseAlone) {
    pageHost.ready = 0;
    const ProfileFile before = *gVar.pFile;
    const int32_t barBefore = page.Bar(0).GetValue(1);
    Click(page.RateButton(0).m_hWnd, 5, 5);
    Click(page.SwitchBox(PerfSwitch::kRipple).m_hWnd, 5, 5);
    Click(page.Bar(0).m_hWnd, page.Bar(0).Model()->Thumb(1).scale.Positions().back(), 5);
    WaitWritten();
    EXPECT_TRUE(page.RateButton(3).GetCheck());
    EXPECT_FALSE(page.RateButton(0).GetCheck());
    EXPECT_EQ(page.Bar(0).GetValue(1), barBefore);
    EXPECT_EQ(std::memcmp(&before, gVar.pFile, sizeof before), 0);
    EXPECT_TRUE(mouse.WriteAddresses().empty());
}

TEST_F(PerfPageWin, MouseLevelChangeMovesTheMarkOnly) {
    ASSERT_TRUE(page.LevelName(0).GetCheck());
    gVar.g_nCurDpiLevel = 3;
    page.DeviceChanged(kBehaviorDpiLevel);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(page.LevelName(i).GetCheck(), i == 3) << i;
    zvtest::Pump(30);
    EXPECT_TRUE(mouse.Sent().empty());
}

TEST_F(PerfPageWin, ColourBoxAsksThenStoresAndWritesItsLevelsColour) {
    CDpiColourBox& box = page.ColourBox(3);
    int chosen = 0;
    box.SetChooser([&](HWND, COLORREF* c) {
        ++chosen;
        *c = RGB(0x56, 0x34, 0x12);
        return true;
    });
    pageHost.ready = 0;
    Click(box.m_hWnd, 5, 5);
    EXPECT_EQ(chosen, 0);  // refused before the chooser opens
    pageHost.ready = 1;
    Click(box.m_hWnd, 5, 5);
    WaitWritten();
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(gVar.pFile->dpi[3].colour, 0x123456u);
    // Red, green, blue, then the check byte 0x55 - 0x56 - 0x34 - 0x12.
    EXPECT_EQ(mouse.Peek(eeprom::kDpiColours + 12, 4), (Bytes{0x56, 0x34, 0x12, 0xB9}));
}

TEST_F(PerfPageWin, EffectSliderClickStoresTheSpeedAndWritesTheIndicator) {
    gVar.pFile->nDpiLightMode = 2;  // the second effect: the speed slider
    gVar.pFile->nDpiLightSpeed = 2;
    page.Refresh();
    CPngSliderBar& speed = page.EffectSlider(true);
    ASSERT_TRUE(::IsWindowVisible(speed.m_hWnd));
    EXPECT_FALSE(::IsWindowVisible(page.EffectSlider(false).m_hWnd));
    const int32_t x = speed.Model()->Thumb().scale.Positions().at(4);  // speed 5
    Click(speed.m_hWnd, x, 10);
    WaitWritten();
    EXPECT_EQ(gVar.pFile->nDpiLightSpeed, 5);
    EXPECT_EQ(speed.GetValue(), 5);
    const std::vector<uint32_t> written = mouse.WriteAddresses();
    EXPECT_NE(std::find(written.begin(), written.end(), eeprom::kDpiLight), written.end());
}

// A mouse without separate X and Y and without a sensor mode: no Y label even when the record
// says X and Y apart, no HP / LP pair, and the record's sensor mode stays as it was.
TEST_F(PerfPageWin, DeviceWithoutXYOrSensorModeOffersNeither) {
    cfg.ShowXY = 0;
    cfg.ptSensorMode = {};
    gVar.pFile->bSeparateXY = 1;
    gVar.pFile->nSensorMode = 7;
    CNewAdvDlg other(PageParts{pageHost, TheProfile(), gVar, gVar, g_MacroList});
    ASSERT_TRUE(other.CreatePage(host.m_hWnd, RECT{0, 0, 1020, 540}, UiTheme{}));
    other.Show(true);
    for (int i = 0; i < cfg.DM; ++i) {
        EXPECT_TRUE(::IsWindowVisible(other.XLabel(i).m_hWnd)) << i;
        EXPECT_FALSE(::IsWindowVisible(other.YLabel(i).m_hWnd)) << i;
        EXPECT_FALSE(other.Bar(i).TwoThumbs()) << i;
    }
    EXPECT_EQ(other.SensorModeButton(true).m_hWnd, nullptr);
    EXPECT_EQ(other.SensorModeButton(false).m_hWnd, nullptr);
    Click(other.RateButton(0).m_hWnd, 5, 5);
    WaitWritten();
    EXPECT_EQ(gVar.pFile->nSensorMode, 7);
    other.DestroyWindow();
}

// On a large screen both forms of the page lie at twice their normal place and size, and the
// sliders' scales are doubled with them, so a click lands on the value drawn under it.
class PerfPageLargeWin : public zvtest::PageWorld {
  protected:
    void SetUp() override {
        PageWorld::SetUp();
        showSysBefore = gVar.ShowSys;
        gVar.ShowSys = 1;  // the older page's pointer group
        gVar.pFile->bSeparateXY = 0;
    }
    void TearDown() override {
        gVar.ShowSys = showSysBefore;
        PageWorld::TearDown();
    }

    int32_t showSysBefore = 0;
};

TEST_F(PerfPageLargeWin, NewerPageDoublesEveryPlaceAndItsScales) {
    CNewAdvDlg page{PageParts{pageHost, TheProfile(), gVar, gVar, g_MacroList}};
    ASSERT_TRUE(Open(page, true));
    const PerfPageLook look;
    const DpiRowLayout r0 = LayoutDpiRow(gVar.ptDpiBar, look.barWidth, cfg.DPIH, false, 0);
    const DpiRowLayout r1 = LayoutDpiRow(gVar.ptDpiBar, look.barWidth, cfg.DPIH, false, 1);
    const int x1 = gVar.ptDpiBar.x + look.barWidth;
    const SwitchBoxLayout sw = LayoutSwitchBoxes(cfg);
    const ZvPoint rate2{look.rateAt.x, look.rateAt.y + 2 * (12 + gVar.RateVSp)};
    const ZvPoint eft = gVar.ptDpiEft, light = gVar.ptDpiLight;
    ExpectDoubled({
        {"bar 0", page.Bar(0).m_hWnd, r0.bar},
        {"level name 1", page.LevelName(1).m_hWnd, r1.name},
        {"X value 1", page.XLabel(1).m_hWnd, r1.xLabel},
        {"colour box 1", page.ColourBox(1).m_hWnd, r1.colour},
        {"level count", page.LevelCount().m_hWnd, {x1 - 83, 25, x1, 44}},
        {"500 Hz", page.RateButton(2).m_hWnd, Box(rate2, "radio_nr.png")},
        {"lift-off 2", page.LiftOffButton(1).m_hWnd,
         Box({look.lod[1].x, look.lod[1].y}, "radio_nr.png")},
        {"ripple", page.SwitchBox(PerfSwitch::kRipple).m_hWnd, Box(sw.ripple, "check_nr.png")},
        {"motion sync", page.SwitchBox(PerfSwitch::kMotionSync).m_hWnd,
         Box(sw.motionSync, "check_nr.png")},
        {"DPI effect", page.EffectCombo().m_hWnd, {eft.x, eft.y, eft.x + 147, eft.y + 30}},
        {"effect brightness",
         page.EffectSlider(false).m_hWnd,
         {light.x, light.y - 5, light.x + 261, light.y + 15}},
    });
    ExpectDoubledMarks(page.Bar(2).Model()->Thumb(1).scale.Positions(), look.barWidth, "bar");
    ExpectDoubledMarks(page.EffectSlider(true).Model()->Thumb().scale.Positions(), 261, "speed");

    // A click on the third mark (doubled, as checked above) picks the sensor's third value.
    CPngHSliderBarEx& bar = page.Bar(2);
    const int32_t want = bar.Model()->Thumb(1).scale.ValueOf(3);
    Click(bar.m_hWnd, bar.Model()->Thumb(1).scale.Positions().at(2), 10);
    WaitWritten();
    EXPECT_EQ(bar.GetValue(1), want);
    EXPECT_EQ(gVar.pFile->dpi[2].x, static_cast<uint32_t>(want));
    page.DestroyWindow();
}

TEST_F(PerfPageLargeWin, OlderPageDoublesEveryPlaceAndItsScales) {
    CAdvDlg page{PageParts{pageHost, TheProfile(), gVar, gVar, g_MacroList}};
    ASSERT_TRUE(Open(page, true));
    const DpiRowLayout r0 = LayoutDpiRow(gVar.ptDpiBar, 390, cfg.DPIH, false, 0);
    const ZvPoint speed = gVar.ptMoveSpeed;
    ExpectDoubled({
        {"bar 0", page.Bar(0).m_hWnd, r0.bar},
        {"500 Hz", page.RateButton(2).m_hWnd, Box({620 + 2 * 90, 73}, "radio_nr.png")},
        {"lift-off 2", page.LiftOffButton(1).m_hWnd, Box({689, 196}, "radio_nr.png")},
        {"pointer speed",
         page.SystemSlider(PointerSlider::kSpeed).m_hWnd,
         {speed.x, speed.y, speed.x + 261, speed.y + 20}},
        {"precision", page.PrecisionBox().m_hWnd, Box({speed.x, speed.y + 28}, "check_nr.png")},
    });
    ExpectDoubledMarks(page.Bar(0).Model()->Thumb(1).scale.Positions(), 390, "bar");
    ExpectDoubledMarks(
        page.SystemSlider(PointerSlider::kDoubleClick).Model()->Thumb().scale.Positions(), 261,
        "double-click");
    page.DestroyWindow();
}

}  // namespace

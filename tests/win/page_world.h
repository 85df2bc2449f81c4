// What every page test in a window starts from: the shipped options, texts and skins, the
// catalogue's first mouse (a copy the test may change) behind a virtual receiver, four new
// profiles with the first current, ApplyNow on, the apply thread running and a host window for
// the page. Message boxes are recorded; a test that leaves one behind fails.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/device_catalogue.h"
#include "base/language_texts.h"
#include "controls/skin_paths.h"
#include "controls/slider_model.h"
#include "controls/win/skin_picture.h"
#include "controls/win/menu_dlg.h"
#include "controls/win/page_base.h"
#include "macro/macro_list.h"
#include "platform/window.h"
#include "profile/apply_thread.h"
#include "profile/profile_defaults.h"
#include "support/sim_link.h"
#include "support/temp_dir.h"
#include "ui/lighting_model.h"
#include "win/page_host_stub.h"
#include "ui/win/notice_box.h"
#include "win/ui_host.h"

namespace zvtest {

class PageWorld : public ::testing::Test {
  protected:
    void SetUp() override {
        StartGdiplus();
        RecordMessageBoxes(boxes);
        gVar.szAppDir = ProgramFolder();
        ASSERT_EQ(LoadConfiguration(), 1);
        LoadDefaultTexts(gVar.szAppDir);
        gVar.szAppDataDir = data.path();
        // The first mouse of the catalogue: sensor 0x3395, six levels, main lighting only.
        cfg = *FindSensorCfg(0x10, 0x1A);
        gVar.pSensorCfg = &cfg;
        LoadDefaultKeys();
        gVar.ProfileList.assign(4, ProfileFile{});
        for (int i = 0; i < 4; ++i) NewProfile(gVar.ProfileList[static_cast<size_t>(i)], "P");
        gVar.pFile = &gVar.ProfileList[0];
        gVar.pFileRead = true;  // as read from the mouse
        gVar.g_nCurDpiLevel = 0;
        gVar.ApplyNow = 1;
        LoadMenuImages();
        ASSERT_TRUE(mouse.Ready());
        StartApplyThread(&mouse.drv, g_MacroList, NoticeBoxes());
        ASSERT_TRUE(host.Open(0, 0, 1020, 540));
        // As the main window answers: the mouse is asked.
        pageHost.lightingHeld = [this] { return LightingBlocked(mouse.drv); };
    }
    void TearDown() override {
        StopApplyThread();
        host.DestroyWindow();
        EXPECT_TRUE(boxes.empty()) << boxes.front();
        platform::SetMessageBoxHook(nullptr);
        gVar.pFile = nullptr;
        gVar.pFileRead = false;
        gVar.pSensorCfg = FindSensorCfg(0x10, 0x1A);
        gVar.ApplyNow = 0;
    }
    // Creates and shows `page` over the whole host (on a large screen: the host and the page
    // twice the size); the mouse has heard nothing from it yet.
    bool Open(CPageBase& page, bool large = false) {
        const int k = large ? 2 : 1;
        UiTheme theme;
        theme.large = large;
        if (large)
            ::SetWindowPos(host.m_hWnd, nullptr, 0, 0, 1020 * k, 540 * k,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (!page.CreatePage(host.m_hWnd, RECT{0, 0, 1020 * k, 540 * k}, theme)) return false;
        page.Show(true);
        Pump(30);
        mouse.rx->ClearReceivedReports();
        return true;
    }
    // A real click: button down and up at (x, y) of `wnd`.
    static void Click(HWND wnd, int x, int y) {
        const LPARAM at = MAKELPARAM(x, y);
        ::SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(wnd, WM_LBUTTONUP, 0, at);
        Pump(30);
    }
    void WaitWritten() {
        Pump(30);
        ASSERT_TRUE(WaitApplyDone(5000));
    }
    bool Wrote(uint32_t addr) const {
        const std::vector<uint32_t> w = mouse.WriteAddresses();
        return std::find(w.begin(), w.end(), addr) != w.end();
    }

    // Large screens: each control at twice where it lies on a normal screen.
    struct DoubledCase {
        const char* what;
        HWND window;
        ZvRect flat;  // where it lies on a normal screen
    };
    static void ExpectDoubled(const std::vector<DoubledCase>& cases) {
        auto text = [](long l, long t, long r, long b) {
            return std::to_string(l) + "," + std::to_string(t) + " - " + std::to_string(r) + "," +
                   std::to_string(b);
        };
        for (const DoubledCase& c : cases) {
            ASSERT_NE(c.window, nullptr) << c.what;
            RECT rc;
            ::GetWindowRect(c.window, &rc);
            ::MapWindowPoints(nullptr, ::GetParent(c.window), reinterpret_cast<POINT*>(&rc), 2);
            EXPECT_EQ(text(rc.left, rc.top, rc.right, rc.bottom),
                      text(c.flat.left * 2, c.flat.top * 2, c.flat.right * 2, c.flat.bottom * 2))
                << c.what;
        }
    }
    // A check box or radio button of the skin with its corner at `at`.
    static ZvRect Box(ZvPoint at, const char* picture) {
        PicturePtr p = LoadSkinPicture(SkinPath(picture));
        return {at.x, at.y, at.x + PictureWidth(p.get()), at.y + PictureHeight(p.get())};
    }
    // Each mark of a slider `width` wide on a normal screen, doubled (within the rounding).
    static void ExpectDoubledMarks(const std::vector<int32_t>& marks, int width, const char* what) {
        const auto flat = ScalePositions(width, 10, static_cast<int32_t>(marks.size()));
        ASSERT_FALSE(marks.empty()) << what;
        for (size_t k = 0; k < marks.size(); ++k) {
            ASSERT_NEAR(marks[k], 2 * flat[k], 1) << what << " mark " << k;
        }
    }

    std::vector<std::string> boxes;
    TempDir data;
    SimLink mouse;
    UiHost host;
    StubPageHost pageHost;
    SensorCfg cfg;
};

}  // namespace zvtest

// The DPI overlay over the real system: it shows after the mouse's DPI button also while the
// main window waits hidden in the tray, takes neither the focus nor the clicks, and goes again.
// The tray's battery tooltip and its low-battery notice from the same window.
#include <gtest/gtest.h>

#include "app/config.h"
#include "base/language_texts.h"
#include "device/transport.h"
#include "profile/profile_defaults.h"
#include "sim/virtual_receiver.h"
#include "support/temp_dir.h"
#include "ui/win/main_dlg.h"
#include "win/ui_host.h"

namespace {

class HiddenMainDlg : public CZorvanDlg {
  public:
    HiddenMainDlg() : CZorvanDlg(true) {}
    bool Open() { return CreateDialogWindow(nullptr); }
    void ShowText(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

TEST(GlanceWin, OverlayFromTheTrayWithoutFocusOrClicksThenGoneAndBatteryNotice) {
    zvtest::StartGdiplus();
    zvtest::TempDir data;
    gVar.szAppDir = zvtest::ProgramFolder();
    ASSERT_EQ(LoadConfiguration(), 1);
    LoadDefaultTexts(gVar.szAppDir);
    gVar.szAppDataDir = data.path();
    gVar.szTitle = "Zorvan overlay test";
    gVar.b4K = 0;
    gVar.Suwnd = 1;
    platform::SetHidBackend(std::make_shared<sim::VirtualBackend>());

    zvtest::UiHost game;
    ASSERT_TRUE(game.Open(0, 0, 300, 200));
    HiddenMainDlg dlg;
    ASSERT_TRUE(dlg.Open());
    ::SetForegroundWindow(game.m_hWnd);
    zvtest::Pump(50);
    ASSERT_FALSE(::IsWindowVisible(dlg.m_hWnd));
    ASSERT_EQ(::GetForegroundWindow(), game.m_hWnd);
    // The profile the window knows, with distinct values per level.
    TheProfile().Edit([](ProfileState& s) {
        s.ProfileList.assign(4, ProfileFile{});
        s.pFile = &s.ProfileList[0];
        s.pFile->nDpiLevels = 4;
        for (uint32_t i = 0; i < 4; ++i) s.pFile->dpi[i] = {400 * (i + 1), 400 * (i + 1), 0, 0};
        s.g_nCurDpiLevel = 2;
    });
    dlg.DeviceChanged(kBehaviorDpiLevel);
    CDpiOverlay& o = dlg.DpiOverlay();
    ASSERT_TRUE(o.Shown());
    EXPECT_EQ(o.View().value, "1200 DPI");
    EXPECT_EQ(o.View().level, GetText("tc_dpi_level") + " 3 / 4");
    zvtest::Pump(50);
    EXPECT_EQ(::GetForegroundWindow(), game.m_hWnd);
    const LONG_PTR ex = ::GetWindowLongPtrW(o.m_hWnd, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TRANSPARENT);
    EXPECT_TRUE(ex & WS_EX_NOACTIVATE);
    // Clicks on it reach the window under it.
    RECT rc;
    ::GetWindowRect(o.m_hWnd, &rc);
    EXPECT_NE(::WindowFromPoint(POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}),
              o.m_hWnd);
    zvtest::Pump(kDpiOverlayMs + 300);
    EXPECT_FALSE(o.Shown());

    // Switched off by the user: the button changes the level and nothing shows.
    dlg.SetDpiOverlayEnabled(false);
    dlg.DeviceChanged(kBehaviorDpiLevel);
    EXPECT_FALSE(o.Shown());

    // The battery polls: the tooltip follows each, the low-battery notice comes once per
    // discharge (the lowest PowerCritical level is the first).
    const int low = gVar.PowerCritical[0];
    for (int level : {low + 5, low, low - 1, low}) dlg.ShowPower(level, 0);
    EXPECT_EQ(dlg.BatteryNotices(), 1);
    EXPECT_NE(dlg.TrayTip().find(GetText("tc_battery") + " " + std::to_string(low) + " %"),
              std::string::npos)
        << dlg.TrayTip();
    dlg.ShowPower(low, 1);
    EXPECT_NE(dlg.TrayTip().find(GetText("tc_charging")), std::string::npos);
    dlg.ShowPower(low - 2, 0);
    EXPECT_EQ(dlg.BatteryNotices(), 2);
    dlg.DestroyWindow();
    game.DestroyWindow();
    platform::SetHidBackend(nullptr);
    gVar.TrayIcon = 0;  // the hidden start asked for the tray icon
    TheProfile().Edit([](ProfileState& s) { s.pFile = nullptr; });
}

}  // namespace

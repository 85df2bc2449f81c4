#include <gtest/gtest.h>

#include "app/startup.h"
#include "app/win/zorvan_app.h"

// The code follows what the system reports (a later Windows, or Wine, reports at most 6.2
// to a program without a compatibility declaration), and is high enough for DPI awareness.
TEST(StartupWin, VersionCodeOfThisSystem) {
    OSVERSIONINFOW vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ASSERT_TRUE(GetVersionExW(&vi));
#pragma GCC diagnostic pop
    EXPECT_LE(vi.dwMajorVersion * 100 + vi.dwMinorVersion, 602u);
    int code = CZorvanApp::GetOsVersionCode();
    EXPECT_EQ(code, OsVersionCode(true, vi.dwMajorVersion, vi.dwMinorVersion));
    EXPECT_GE(code, 5);
}

TEST(StartupWin, DialogFont) {
    HFONT normal = CZorvanApp::CreateDialogFont();
    LOGFONTW lf{};
    ASSERT_TRUE(GetObjectW(normal, sizeof lf, &lf));
    EXPECT_EQ(lf.lfHeight, 16);
    EXPECT_EQ(lf.lfWeight, 400);
    EXPECT_EQ(lf.lfPitchAndFamily, FF_SWISS);
    EXPECT_STREQ(lf.lfFaceName, L"MS Shell Dlg");
    DeleteObject(normal);
}

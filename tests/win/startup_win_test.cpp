#include <gtest/gtest.h>

#include "app/win/zorvan_app.h"

// Without a compatibility declaration every later Windows reports 6.2 to the program.
TEST(StartupWin, VersionCodeOfThisSystem) {
    EXPECT_EQ(CZorvanApp::GetOsVersionCode(), 7);
}

TEST(StartupWin, DialogFontDoublesInLargeScreenMode) {
    HFONT normal = CZorvanApp::CreateDialogFont();
    LOGFONTW lf{};
    ASSERT_TRUE(GetObjectW(normal, sizeof lf, &lf));
    EXPECT_EQ(lf.lfHeight, 16);
    EXPECT_EQ(lf.lfWeight, 400);
    EXPECT_EQ(lf.lfPitchAndFamily, FF_SWISS);
    DeleteObject(normal);
}

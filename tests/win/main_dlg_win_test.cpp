// The real main window under Wine: its navigation buttons' rectangles as the system has them,
// and a start without a receiver.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/config.h"
#include "base/language_texts.h"
#include "platform/fs.h"
#include "platform/hid.h"
#include "profile/profile_transfer.h"
#include "sim/virtual_receiver.h"
#include "controls/skin_paths.h"
#include "support/temp_dir.h"
#include "profile/apply_thread.h"
#include "ui/win/main_dlg.h"
#include "ui/win/progress_dlg.h"
#include "win/main_window_start.h"
#include "win/ui_host.h"

namespace {

// The window without its modal run, its messages recorded instead of shown.
class OpenMainDlg : public CZorvanDlg {
  public:
    OpenMainDlg() : CZorvanDlg(false) {}
    bool Open() { return CreateDialogWindow(nullptr); }
    void ShowText(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

class MainDlgWin : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(
            zvtest::StartMainWindowTest(data.path(), "Zorvan main window test"));
        // No receiver at all.
        platform::SetHidBackend(std::make_shared<sim::VirtualBackend>());
    }
    void TearDown() override {
        platform::SetHidBackend(nullptr);
        gVar.NaviW = 0;
    }
    // A navigation button's rectangle in the main window's client coordinates.
    static RECT ClientRect(HWND child) {
        RECT rc;
        ::GetWindowRect(child, &rc);
        ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
    zvtest::TempDir data;
};

TEST_F(MainDlgWin, NavigationButtonsFromNaviW) {
    struct Case {
        int naviW, width, gap;
    };
    for (const Case c : {Case{0, 60, 4}, Case{70, 70, 0}}) {
        gVar.NaviW = c.naviW;
        OpenMainDlg dlg;
        ASSERT_TRUE(dlg.Open());
        std::vector<RECT> rcs;
        for (int i = 0; i < 4; ++i) {
            ASSERT_TRUE(dlg.NaviButton(i).m_hWnd) << i;
            rcs.push_back(ClientRect(dlg.NaviButton(i).m_hWnd));
        }
        EXPECT_EQ(rcs[0].left, gVar.ptNavi.x);
        EXPECT_EQ(rcs[0].top, gVar.ptNavi.y);
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(rcs[i].right - rcs[i].left, c.width) << "NaviW " << c.naviW;
            EXPECT_EQ(rcs[i].bottom - rcs[i].top, 49);
            if (i > 0) {
                EXPECT_EQ(rcs[i].left - rcs[i - 1].right, c.gap) << "NaviW " << c.naviW;
            }
        }
        dlg.DestroyWindow();
    }
}

TEST_F(MainDlgWin, WithoutReceiverTheWindowShowsAndRefusesChanges) {
    OpenMainDlg dlg;
    ASSERT_TRUE(dlg.Open());
    EXPECT_TRUE(::IsWindowVisible(dlg.m_hWnd));
    EXPECT_EQ(dlg.DeviceStateNow(), MainDeviceState::kNoDevice);
    // Nothing was ever read from a mouse.
    g_bSyncDone = 0;
    EXPECT_EQ(dlg.CheckDeviceReady(), 0);
    EXPECT_EQ(dlg.texts, std::vector<std::string>{GetText("tc_msg15")});
    // A slider asks the same question through its message.
    EXPECT_EQ(dlg.SendMessage(0x802), 0);
    EXPECT_EQ(dlg.texts.size(), 2u);
    dlg.DestroyWindow();
}

// A save that fails on a worker thread is shown by the window, with the file and the reason,
// without waiting for the window's work to end.
TEST_F(MainDlgWin, AFailedSaveOnAnyThreadIsShownWithItsPath) {
    OpenMainDlg dlg;
    ASSERT_TRUE(dlg.Open());
    dlg.texts.clear();
    platform::TakeSaveFailures();
    const std::string target = data / "blocked";
    ASSERT_TRUE(platform::MakeDirectory(target));
    std::thread([&] { EXPECT_FALSE(platform::WriteFileAtomic(target, "x", 1)); }).join();
    for (int i = 0; i < 200 && dlg.texts.empty(); ++i) {
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&m);
            ::DispatchMessageW(&m);
        }
        ::Sleep(10);
    }
    ASSERT_EQ(dlg.texts.size(), 1u);
    EXPECT_EQ(dlg.texts[0].rfind(GetText("tc_save_failed") + "\n" + target + ": ", 0), 0u)
        << dlg.texts[0];
    EXPECT_TRUE(platform::TakeSaveFailures().empty());
    dlg.DestroyWindow();
}

// What the core tells from a worker (the apply thread, the profile reader) is shown by the window
// as a box with the notice's own text, caption and look, not the window's title.
TEST_F(MainDlgWin, ANoticeFromAWorkerIsShownAsItsOwnBox) {
    OpenMainDlg dlg;
    ASSERT_TRUE(dlg.Open());
    std::vector<Notice> shown;
    platform::SetMessageBoxHook(
        [&shown](const std::string& text, const std::string& caption, uint32_t look) {
            shown.push_back({text, caption, look});
            return 1;
        });
    const Notice n{"The mouse did not take the change.", "Write failed", platform::kMbIconWarning};
    SessionUi& ui = dlg;
    const auto owner = reinterpret_cast<platform::WindowHandle>(dlg.m_hWnd);
    std::thread([&] { ui.Tell(n, owner); }).join();
    platform::SetMessageBoxHook(nullptr);
    EXPECT_EQ(shown, std::vector<Notice>{n});
    EXPECT_TRUE(dlg.texts.empty());
    dlg.DestroyWindow();
}

// The "no mouse" notice beside the navigation buttons: shown without a receiver, and not while a
// mouse that was found is being taken over (it flashed on every start before the first read).
TEST_F(MainDlgWin, TheNoMouseNoticeOnlyWhenNoMouseIsThere) {
    // The notice's frame, in the mark colour, at the left edge of its band.
    auto noticeShown = [](HWND wnd) {
        ::RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = ::GetDC(wnd);
        const COLORREF c = ::GetPixel(dc, 300, 135);
        ::ReleaseDC(wnd, dc);
        return c == RGB(255, 59, 92);
    };
    {
        OpenMainDlg dlg;
        ASSERT_TRUE(dlg.Open());
        EXPECT_TRUE(noticeShown(dlg.m_hWnd));
        dlg.DestroyWindow();
    }
    auto backend = std::make_shared<sim::VirtualBackend>();
    sim::ReceiverConfig rc;
    rc.cid = 0x10;
    rc.mid = 0x1A;
    backend->AddReceiver(rc);
    platform::SetHidBackend(backend);
    gVar.pSensorCfg = &gVar.SensorCfgs[0];
    OpenMainDlg dlg;
    ASSERT_TRUE(dlg.Open());
    bool sawFound = false, shownWhileFound = false;
    for (int i = 0; i < 300 && dlg.DeviceStateNow() != MainDeviceState::kReady; ++i) {
        if (dlg.DeviceStateNow() == MainDeviceState::kFound) {
            sawFound = true;
            shownWhileFound = shownWhileFound || noticeShown(dlg.m_hWnd);
        }
        zvtest::Pump(10);
    }
    ASSERT_TRUE(sawFound);
    EXPECT_FALSE(shownWhileFound);
    EXPECT_FALSE(noticeShown(dlg.m_hWnd));
    dlg.DestroyWindow();
}

}  // namespace

namespace {

// The progress window as the apply thread drives it: positions by message, and WM_CLOSE from
// the thread that ends it.
CProgressDlg* g_progress = nullptr;
std::vector<int> g_positions;
int g_step = 0;

void CALLBACK ProgressStep(HWND, UINT, UINT_PTR, DWORD) {
    HWND dlg = ::FindWindowW(nullptr, L"MyProgressDlg..");
    if (!dlg || !g_progress) return;
    switch (g_step++) {
        case 0:
            ::PostMessageW(dlg, WM_PROGRESS_SETPOS, 60, 0);
            break;
        case 1:
            g_positions.push_back(g_progress->Pos());
            ::PostMessageW(dlg, WM_PROGRESS_SETPOS, 150, 0);
            break;
        case 2:
            g_positions.push_back(g_progress->Pos());
            ::PostMessageW(dlg, WM_CLOSE, 0, 0);
            break;
        default:
            ::PostMessageW(dlg, WM_CLOSE, 0, 0);
            break;
    }
}

TEST(ProgressDlgWin, PositionsByMessageAndCloseFromTheApplyThread) {
    zvtest::StartGdiplus();
    gVar.szAppDir = zvtest::ProgramFolder();
    CProgressDlg dlg;
    dlg.SetRange(0, 100);
    g_progress = &dlg;
    g_positions.clear();
    g_step = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 80, &ProgressStep);
    dlg.DoModal(nullptr);
    ::KillTimer(nullptr, timer);
    g_progress = nullptr;
    // 60 taken, 150 out of range shown as the minimum (an empty bar).
    EXPECT_EQ(g_positions, (std::vector<int>{60, 0}));
    EXPECT_EQ(g_step, 3) << "ended by the thread's WM_CLOSE";
}

// On a large screen the progress window, its picture and its bar are twice their size.
TEST(ProgressDlgWin, LargeScreenDoublesTheWindow) {
    zvtest::StartGdiplus();
    gVar.szAppDir = zvtest::ProgramFolder();
    PicturePtr pic = LoadSkinPicture(SkinPath("progress_nr.png"));
    ASSERT_TRUE(PicturePresent(pic.get()));
    gVar.b4K = 1;
    CProgressDlg dlg;
    dlg.barRect = {45, 101, 486, 123};
    static RECT shown;
    shown = {};
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 80, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND w = ::FindWindowW(nullptr, L"MyProgressDlg..");
        if (!w) return;
        ::GetWindowRect(w, &shown);
        ::PostMessageW(w, WM_CLOSE, 0, 0);
    });
    dlg.DoModal(nullptr);
    ::KillTimer(nullptr, timer);
    gVar.b4K = 0;
    EXPECT_EQ(shown.right - shown.left, 2 * PictureWidth(pic.get()));
    EXPECT_EQ(shown.bottom - shown.top, 2 * PictureHeight(pic.get()));
    EXPECT_EQ(dlg.barRect.left, 90);
    EXPECT_EQ(dlg.barRect.right, 972);
}

}  // namespace

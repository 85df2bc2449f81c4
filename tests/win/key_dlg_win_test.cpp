// The buttons page and its dialogs as real windows: the rows and hotspots a device gets, the
// locked row, the choices that need a dialog (answered by a test host), the debounce and
// auto-sleep controls pressed like a user, and the fire dialog's boxes typed into.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "base/language_texts.h"
#include "controls/win/menu_dlg.h"
#include "macro/macro_list.h"
#include "platform/win/wide.h"
#include "platform/window.h"
#include "profile/apply_thread.h"
#include "profile/profile_defaults.h"
#include "controls/skin_paths.h"
#include "ui/buttons_page_model.h"
#include "ui/key_page_layout.h"
#include "ui/win/firekey_dlg.h"
#include "ui/win/key_dlg.h"
#include "win/page_host_stub.h"
#include "win/ui_host.h"

namespace {

// A 7-button mouse (KM 14): the first catalogue mouse with its button count cut down.
class KeyDlgWin : public ::testing::Test {
  protected:
    zvtest::UiHost host;
    zvtest::StubPageHost pageHost;
    std::optional<CKeyDlg> page;
    SensorCfg cfg;
    std::vector<ProfileFile> saved;

    void SetUp() override {
        zvtest::StartGdiplus();
        gVar.szAppDir = zvtest::ProgramFolder();
        ASSERT_EQ(LoadConfiguration(), 1);
        LoadDefaultTexts(gVar.szAppDir);
        LoadMenuImages();
        gVar.ApplyNow = 0;  // nothing is written: no apply thread runs here
        gVar.KeyMask = 0;
        gVar.TipForDebounce = 0;
        gVar.ComboName = {0, 0};
        cfg = gVar.SensorCfgs[0];
        cfg.KM = 14;
        cfg.nKeyNum = 7;
        for (int i = 0; i < kKeysPerSet; ++i)
            cfg.Mark[static_cast<size_t>(i)] = {i * 10, 0, i * 10 + 8, 8};
        gVar.pSensorCfg = &cfg;
        LoadDefaultKeys();
        TheProfile().Edit([this](ProfileState& s) {
            saved = s.ProfileList;
            s.ProfileList.assign(1, ProfileFile{});
            NewProfile(s.ProfileList[0], "test");
            s.ProfileList[0].dwId = 0x1234;
            s.ProfileList[0].keys = gVar.WorkDefKeys;
            s.pFile = &s.ProfileList[0];
            s.pFileRead = true;  // as read from the mouse
        });
    }
    void TearDown() override {
        ClosePopup();
        page.reset();
        host.DestroyWindow();
        TheProfile().Edit([this](ProfileState& s) {
            s.ProfileList = saved;
            s.pFile = nullptr;
            s.pFileRead = false;
        });
        gVar.pSensorCfg = nullptr;
    }
    void Open(bool large = false) {
        const int k = large ? 2 : 1;
        ASSERT_TRUE(host.Open(0, 0, 1020 * k, 700 * k));
        page.emplace(PageParts{pageHost, TheProfile(), gVar, gVar, g_MacroList});
        PicturePtr bkg = LoadSkinPicture(gVar.szAppDir + "skins\\key_nr.png");
        PicturePtr part = CopyPictureRect(bkg.get(), RECT{0, 160, 1020, 700});
        // As the main window hands it over on a large screen: scaled like the page.
        if (large) part = ScalePicture(part.get(), 2.0);
        page->SetBackground(std::move(part));
        UiTheme theme;
        theme.large = large;
        ASSERT_TRUE(page->CreatePage(host.m_hWnd, RECT{0, 160 * k, 1020 * k, 700 * k}, theme));
        page->Show(true);
        zvtest::Pump(30);
    }
    KeyInfo& Key(int set, int row) {
        return gVar.pFile->keys[static_cast<size_t>(set)][static_cast<size_t>(row)];
    }
    std::string Caption(int row) { return page->Row(row).GetText(); }
    static void Click(CPngBtn& b) {
        ::SendMessageW(b.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::SendMessageW(b.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        zvtest::Pump(20);
    }
};

TEST_F(KeyDlgWin, SevenButtonsGiveSevenRowsAndHotspots) {
    Open();
    for (int i = 0; i < kKeysPerSet; ++i)
        EXPECT_EQ(::IsWindowVisible(page->Row(i).m_hWnd) != 0, i < 7) << "row " << i;
    EXPECT_EQ(page->Mark().ShownHotspots(), 7);
    EXPECT_EQ(Caption(0), GetText("tc_click"));
    // Lighting a button the mouse does not have lights nothing.
    page->Mark().HighlightMark(8);
    for (int i = 0; i < kKeysPerSet; ++i) EXPECT_FALSE(page->Mark().Lit(i));
    page->Mark().HighlightMark(3);
    EXPECT_TRUE(page->Mark().Lit(3));
    page->Mark().HighlightMark(16);
    EXPECT_FALSE(page->Mark().Lit(3));
}

// Nothing runs while no one touches the window: the hover timer starts when the pointer comes
// over the page (a control under it is asked for the cursor, and asks the page first) and
// stops, with the light out, once the pointer has left.
TEST_F(KeyDlgWin, HoverTimerRunsOnlyWhileThePointerIsOverThePage) {
    Open();
    RECT pageRc, rowRc;
    ::GetWindowRect(page->m_hWnd, &pageRc);
    ::GetWindowRect(page->Row(2).m_hWnd, &rowRc);
    // Wherever the pointer was while the page came up, one tick after it has left the timer
    // is off.
    ::SetCursorPos(pageRc.right + 40, pageRc.bottom + 40);
    zvtest::Pump(2 * CKeyDlg::kHoverMs);
    EXPECT_FALSE(page->HoverTimerRunning());

    ::SetCursorPos((rowRc.left + rowRc.right) / 2, (rowRc.top + rowRc.bottom) / 2);
    ::SendMessageW(page->Row(2).m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(page->Row(2).m_hWnd),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_TRUE(page->HoverTimerRunning());
    page->CheckHover();
    EXPECT_TRUE(page->Mark().Lit(2));

    ::SetCursorPos(pageRc.right + 40, pageRc.bottom + 40);
    page->CheckHover();
    EXPECT_FALSE(page->HoverTimerRunning());
    EXPECT_FALSE(page->Mark().Lit(2));
}

// A row and its button on the picture stand for each other: the pointer over a button on the
// picture gives its row the pointed-at look and lights that button; with the pointer away, the
// row with the keyboard focus keeps its button lit.
TEST_F(KeyDlgWin, ARowAndItsButtonOnThePictureAreLinked) {
    // Button 3's box reaches over button 5's, as a wide button's may over a small one.
    cfg.Mark[2] = {0, 0, 80, 40};
    Open();
    RECT markRc;
    ::GetWindowRect(page->Mark().m_hWnd, &markRc);
    for (int row : {2, 4}) {
        // The middle of the button's own box: the picture answers with the smallest box there.
        const ZvRect& s = page->Mark().Spot(row);
        ::SetCursorPos(markRc.left + (s.left + s.right) / 2, markRc.top + (s.top + s.bottom) / 2);
        page->CheckHover();
        for (int i = 0; i < kKeysPerSet; ++i) {
            EXPECT_EQ(page->Row(i).LinkedLook(), i == row) << "pointer on button " << row;
            EXPECT_EQ(page->Mark().Lit(i), i == row) << "pointer on button " << row;
        }
    }

    RECT pageRc;
    ::GetWindowRect(page->m_hWnd, &pageRc);
    ::SetCursorPos(pageRc.right + 40, pageRc.bottom + 40);
    ::SetFocus(page->Row(3).m_hWnd);
    page->CheckHover();
    for (int i = 0; i < kKeysPerSet; ++i) {
        EXPECT_EQ(page->Mark().Lit(i), i == 3) << "row 3 focused";
        EXPECT_EQ(page->Row(i).LinkedLook(), i == 3) << "row 3 focused";
    }
    ::SetFocus(page->Row(5).m_hWnd);
    EXPECT_TRUE(page->Mark().Lit(5)) << "moving the focus moves the light";
    EXPECT_FALSE(page->Mark().Lit(3));
}

// Beside the mouse the page sums up the profile's settings from the other pages, the lighting
// with a swatch of its colour; the mouse changing a setting itself paints it again.
TEST_F(KeyDlgWin, SummaryBesideTheMouseShowsTheProfilesLighting) {
    gVar.LedOpt[1].opt = {3, 5, 0, 0, 1};  // breathing takes a colour
    gVar.pFile->mainLight = {2, 3, 5, Rgb(0x20, 0xC0, 0x40), {}};
    Open();
    auto swatch = [this] {
        ::RedrawWindow(page->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        zvtest::Pump(30);
        const int last = page->SummaryLinesShown() - 1;
        const int y =
            CKeyDlg::kSummaryPanel.top + CKeyDlg::kSummaryHead + last * CKeyDlg::kSummaryLine + 13;
        HDC dc = ::GetDC(page->m_hWnd);
        const COLORREF c = ::GetPixel(dc, CKeyDlg::kSummaryPanel.right - 20, y);
        ::ReleaseDC(page->m_hWnd, dc);
        return c;
    };
    EXPECT_GE(page->SummaryLinesShown(), 3);  // DPI, level, lighting at least
    EXPECT_EQ(swatch(), RGB(0x20, 0xC0, 0x40));
    // The mouse's own lighting change (4): the page shows it without being asked to refresh.
    gVar.pFile->mainLight.colour = Rgb(0xD0, 0x30, 0x10);
    page->DeviceChanged(kBehaviorMainLight);
    ::UpdateWindow(page->m_hWnd);
    HDC dc = ::GetDC(page->m_hWnd);
    const int y = CKeyDlg::kSummaryPanel.top + CKeyDlg::kSummaryHead +
                  (page->SummaryLinesShown() - 1) * CKeyDlg::kSummaryLine + 13;
    EXPECT_EQ(::GetPixel(dc, CKeyDlg::kSummaryPanel.right - 20, y), RGB(0xD0, 0x30, 0x10));
    ::ReleaseDC(page->m_hWnd, dc);
}

// On a large screen the controls of the page lie at twice their place and size (the rows below
// the first keep their unscaled gap, so only the first is compared).
TEST_F(KeyDlgWin, LargeScreenDoublesEveryPlace) {
    Open(true);
    auto placeOf = [this](HWND w) {
        RECT rc;
        ::GetWindowRect(w, &rc);
        ::MapWindowPoints(nullptr, ::GetParent(w), reinterpret_cast<POINT*>(&rc), 2);
        return ZvRect{rc.left, rc.top, rc.right, rc.bottom};
    };
    auto twice = [](const ZvRect& r) {
        return ZvRect{r.left * 2, r.top * 2, r.right * 2, r.bottom * 2};
    };
    const ZvRect row0 = LayoutKeyRows(cfg, gVar.ptKey, false)[0].row;
    PicturePtr mouse = LoadSkinPicture(DeviceSkinPath(
        static_cast<uint8_t>(cfg.CID), static_cast<uint8_t>(cfg.MID), "mouse_nr.png"));
    ASSERT_TRUE(PicturePresent(mouse.get()));
    const ZvRect mark{cfg.ptMark.x, cfg.ptMark.y, cfg.ptMark.x + PictureWidth(mouse.get()),
                      cfg.ptMark.y + PictureHeight(mouse.get())};
    struct Case {
        const char* what;
        HWND window;
        ZvRect flat;
    };
    const Case cases[] = {
        {"row 0", page->Row(0).m_hWnd, row0},
        {"profile selector", page->ProfileSelector().m_hWnd, ProfileSelectorRect(row0)},
        {"mouse picture", page->Mark().m_hWnd, mark},
        {"debounce", page->Debounce().m_hWnd, DebounceRect()},
        {"debounce down",
         ::GetDlgItem(page->Debounce().m_hWnd, CValueDlg::kIdDown),
         {79, 5, 96, 25}},
    };
    for (const auto& c : cases) {
        ASSERT_NE(c.window, nullptr) << c.what;
        EXPECT_EQ(placeOf(c.window), twice(c.flat)) << c.what;
    }
}

// The page's pixels as they are on screen, drawn anew.
std::vector<uint32_t> Grab(HWND w, int width, int height) {
    ::InvalidateRect(w, nullptr, TRUE);
    ::UpdateWindow(w);
    zvtest::Pump(10);
    HDC dc = ::GetDC(w);
    HDC mem = ::CreateCompatibleDC(dc);
    HBITMAP bmp = ::CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    ::SelectObject(mem, old);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> px(static_cast<size_t>(width) * static_cast<size_t>(height));
    ::GetDIBits(mem, bmp, 0, static_cast<UINT>(height), px.data(), &bi, DIB_RGB_COLORS);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(w, dc);
    return px;
}

// The debounce tip is drawn where TipForDebounce puts it and nowhere else; UIDebug outlines the
// page in red.
TEST_F(KeyDlgWin, DebounceTipAndDebugOutline) {
    Open();
    RECT rc;
    ::GetClientRect(page->m_hWnd, &rc);
    const int w = rc.right, h = rc.bottom;
    const std::vector<uint32_t> plain = Grab(page->m_hWnd, w, h);
    gVar.TipForDebounce = 300;
    const std::vector<uint32_t> tipped = Grab(page->m_hWnd, w, h);
    gVar.TipForDebounce = 0;
    const ZvRect tip = *DebounceTipRect(300, false);
    int inside = 0, outside = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const size_t i =
                static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
            if (plain[i] == tipped[i]) continue;
            const bool in = x >= tip.left && x < tip.right && y >= tip.top && y < tip.bottom;
            (in ? inside : outside)++;
        }
    }
    EXPECT_GT(inside, 100) << "the tip's text";
    EXPECT_EQ(outside, 0);

    gVar.UIDebug = 1;
    const std::vector<uint32_t> debug = Grab(page->m_hWnd, w, h);
    gVar.UIDebug = 0;
    constexpr uint32_t kRed = 0x00FF0000;  // as the bitmap holds it: 0x00RRGGBB
    auto at = [w](const std::vector<uint32_t>& px, int x, int y) {
        return px[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] &
               0x00FFFFFF;
    };
    for (const POINT p :
         {POINT{0, h / 2}, POINT{w - 1, h / 2}, POINT{w / 2, 0}, POINT{w / 2, h - 1}}) {
        EXPECT_EQ(at(debug, p.x, p.y), kRed) << p.x << "," << p.y;
        EXPECT_NE(at(plain, p.x, p.y), kRed) << p.x << "," << p.y;
    }
}

TEST_F(KeyDlgWin, LockedRowIsGreyAndOpensNoMenu) {
    gVar.KeyMask = 0x0001;
    Open();
    EXPECT_FALSE(::IsWindowEnabled(page->Row(0).m_hWnd));
    EXPECT_TRUE(::IsWindowEnabled(page->Row(1).m_hWnd));
    page->ClickRow(0);
    EXPECT_EQ(GetOpenPopup(), nullptr);
    page->ClickRow(1);
    ASSERT_NE(GetOpenPopup(), nullptr);
    EXPECT_EQ(GetOpenPopup()->Tag(), 1);
    // A click on a row while the menu is open only closes it.
    page->ClickRow(2);
    EXPECT_EQ(GetOpenPopup(), nullptr);
}

TEST_F(KeyDlgWin, ChoicesGoThroughTheirDialogsAndRefusals) {
    Open();
    // Ctrl+C named by ComboName1.
    gVar.ComboName = {0x004301, 0};
    pageHost.combo = CapturedCombo{0x01, {0x43, 0, 0}};
    page->OnFunctionChosen(0x020000A1, 2);
    EXPECT_EQ(Key(0, 2).dwFunID, 0x020000A1u);
    EXPECT_EQ(Caption(2), GetText("tc_comboname1"));
    // A cancelled capture stores nothing.
    pageHost.combo.reset();
    page->OnFunctionChosen(0x020000A1, 3);
    EXPECT_EQ(Key(0, 3).dwFunID, gVar.WorkDefKeys[0][3].dwFunID);
    // The fire dialog opens with the row's own assignment; its result is the parameter.
    pageHost.fire = 0x1402;
    page->OnFunctionChosen(0x080000A4, 4);
    ASSERT_TRUE(pageHost.fireOpenedWith);
    EXPECT_EQ(pageHost.fireOpenedWith->dwFunID, gVar.WorkDefKeys[0][4].dwFunID);
    EXPECT_EQ(Key(0, 4).dwParameter, 0x1402u);
    EXPECT_EQ(Key(0, 4).MatrixInx, gVar.WorkDefKeys[0][4].MatrixInx);
    // The only left click stays; the refusal is shown through the page's own message.
    page->OnFunctionChosen(0x080000A2, 0);
    EXPECT_EQ(Key(0, 0).dwFunID, 0x01000011u);
    ASSERT_FALSE(pageHost.told.empty());
    EXPECT_EQ(pageHost.told.back(), GetText("tc_msg1"));
    // Not ready: nothing happens at all.
    pageHost.ready = 0;
    page->OnFunctionChosen(0x080000A2, 1);
    EXPECT_NE(Key(0, 1).dwFunID, 0x080000A2u);
}

TEST_F(KeyDlgWin, AllSetsRowGivenNoFunction) {
    for (int s = 0; s < kKeySets; ++s) Key(s, 5).dwFunID = 0x080000AB;
    gVar.pFile->nKeySet = 1;
    Open();
    page->OnFunctionChosen(0x080000A2, 5);
    EXPECT_EQ(Key(0, 5).dwFunID, gVar.WorkDefKeys[0][5].dwFunID);
    EXPECT_EQ(Key(1, 5).dwFunID, 0x080000A2u);
    EXPECT_EQ(Key(2, 5).dwFunID, gVar.WorkDefKeys[2][5].dwFunID);
    EXPECT_EQ(Caption(5), GetText("tc_key_off"));
}

TEST_F(KeyDlgWin, MacroWithAnEmptyListAsksForTheMacroPage) {
    ASSERT_EQ(g_MacroList.Count(), 0u);
    Open();
    page->OnFunctionChosen(0x05000000, 1);
    ASSERT_EQ(pageHost.told.size(), 1u);
    EXPECT_EQ(pageHost.told[0], GetText("tc_msg9"));
    EXPECT_EQ(pageHost.shown, std::vector<MainPageType>{kPageMacros});
    EXPECT_EQ(Key(0, 1).dwFunID, gVar.WorkDefKeys[0][1].dwFunID);
}

TEST_F(KeyDlgWin, DebounceAndAutoSleepButtons) {
    gVar.DebounceRange = 0x1E00;
    gVar.TipForDebounce = 4;
    gVar.pFile->nDebounce = 30;
    gVar.pFile->nAutoSleep = 6;
    Open();
    EXPECT_EQ(page->Debounce().ValueText(), "30 ms");
    EXPECT_EQ(page->AutoSleep().ValueText(), "1 m");
    Click(page->Debounce().UpButton());
    EXPECT_EQ(page->Debounce().Value(), 30);
    Click(page->Debounce().DownButton());
    EXPECT_EQ(gVar.pFile->nDebounce, 29);
    EXPECT_TRUE(pageHost.asked.empty());

    // At TipForDebounce the user is asked first; cancelling keeps the value.
    page->Debounce().SetDebounceValue(4);
    gVar.pFile->nDebounce = 4;
    Click(page->Debounce().DownButton());
    EXPECT_EQ(pageHost.asked.size(), 1u);
    EXPECT_EQ(page->Debounce().Value(), 4);
    EXPECT_EQ(gVar.pFile->nDebounce, 4);
    pageHost.askAnswer = true;
    Click(page->Debounce().DownButton());
    EXPECT_EQ(gVar.pFile->nDebounce, 3);

    page->AutoSleep().SetAutoSleepValue(1);
    EXPECT_EQ(page->AutoSleep().ValueText(), "10 s");
    Click(page->AutoSleep().DownButton());
    EXPECT_EQ(page->AutoSleep().Position(), 0);
    Click(page->AutoSleep().UpButton());
    EXPECT_EQ(gVar.pFile->nAutoSleep, 2);
    // A value the table does not hold leaves the position.
    page->AutoSleep().SetAutoSleepValue(7);
    EXPECT_EQ(page->AutoSleep().Position(), 1);
    // Not ready: no press changes anything.
    pageHost.ready = 0;
    Click(page->AutoSleep().UpButton());
    EXPECT_EQ(gVar.pFile->nAutoSleep, 2);
}

// Until the mouse's profile was read the page shows no value of the record it holds (the new
// profile's or the cache's): no function on a row, no debounce or sleep time, no mark in a
// row's menu, and the value buttons store nothing. Once read, the mouse's values show.
TEST_F(KeyDlgWin, NoValueShowsBeforeTheMouseWasRead) {
    gVar.pFileRead = false;
    gVar.pFile->nDebounce = 5;
    gVar.pFile->nAutoSleep = 12;
    Open();
    for (int i = 0; i < 7; ++i) EXPECT_EQ(Caption(i), kValueNotRead) << "row " << i;
    EXPECT_EQ(page->Debounce().ValueText(), kValueNotRead);
    EXPECT_EQ(page->AutoSleep().ValueText(), kValueNotRead);
    Click(page->Debounce().UpButton());
    Click(page->AutoSleep().DownButton());
    EXPECT_EQ(gVar.pFile->nDebounce, 5);
    EXPECT_EQ(gVar.pFile->nAutoSleep, 12);
    page->ClickRow(1);
    ASSERT_NE(GetOpenPopup(), nullptr);
    EXPECT_EQ(GetOpenPopup()->Marked(), -1);
    ClosePopup();

    gVar.pFileRead = true;
    page->RefreshKeyPage();
    EXPECT_EQ(Caption(0), GetText("tc_click"));
    EXPECT_EQ(page->Debounce().ValueText(), "5 ms");
    EXPECT_EQ(page->AutoSleep().ValueText(), "2 m");
}

// The fire dialog's window without its modal run.
class OpenFireDlg : public CFirekeyDlg {
  public:
    using CFirekeyDlg::CFirekeyDlg;
    using CFirekeyDlg::CreateDialogWindow;
    void Type(HWND box, const char* text) {
        ::SetWindowTextW(box, platform::win::Widen(text).c_str());
    }
};

TEST(FireKeyDlgWin, BoxesOpenFromTheRowAndKeepTheirLimits) {
    zvtest::StartGdiplus();
    gVar.szAppDir = zvtest::ProgramFolder();
    KeyInfo plain;
    plain.dwFunID = 0x01000013;
    {
        OpenFireDlg dlg(plain, UiTheme{});
        ASSERT_TRUE(dlg.CreateDialogWindow(nullptr));
        EXPECT_EQ(dlg.BoxText(dlg.CountBox()), "3");
        EXPECT_EQ(dlg.BoxText(dlg.IntervalBox()), "10");
        dlg.Type(dlg.CountBox(), "7");
        EXPECT_EQ(dlg.BoxText(dlg.CountBox()), "3");
        dlg.Type(dlg.IntervalBox(), "300");
        EXPECT_EQ(dlg.BoxText(dlg.IntervalBox()), "255");
        dlg.Type(dlg.CountBox(), "0");
        dlg.Type(dlg.IntervalBox(), "5");
        dlg.PressOk();
        EXPECT_EQ(dlg.Result(), 0x0A00);
        // Enter is swallowed: it neither closes the dialog nor presses OK.
        MSG enter{dlg.CountBox(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
        EXPECT_TRUE(dlg.PreTranslateMessage(&enter));
    }
    KeyInfo fire;
    fire.dwFunID = 0x080000A4;
    fire.dwParameter = 0x1402;
    OpenFireDlg dlg(fire, UiTheme{});
    ASSERT_TRUE(dlg.CreateDialogWindow(nullptr));
    EXPECT_EQ(dlg.BoxText(dlg.CountBox()), "2");
    EXPECT_EQ(dlg.BoxText(dlg.IntervalBox()), "20");
    dlg.Type(dlg.IntervalBox(), "");
    dlg.PressOk();
    EXPECT_EQ(dlg.Result(), 0x0A02);
}

TEST(FireKeyDlgWin, TabTakesTypingFromTheCountToTheInterval) {
    zvtest::StartGdiplus();
    gVar.szAppDir = zvtest::ProgramFolder();
    KeyInfo plain;
    plain.dwFunID = 0x01000013;
    OpenFireDlg dlg(plain, UiTheme{});
    ASSERT_TRUE(dlg.CreateDialogWindow(nullptr));
    ::SetFocus(dlg.CountBox());
    // As the modal run delivers them: the dialog's key filter first, then the focused box.
    auto deliver = [&dlg](UINT msg, WPARAM wp) {
        MSG m{::GetFocus(), msg, wp, 1, 0, {}};
        if (PreTranslateUpTo(&m, dlg.m_hWnd)) return;
        ::DispatchMessageW(&m);
    };
    deliver(WM_KEYDOWN, VK_TAB);
    deliver(WM_KEYUP, VK_TAB);
    EXPECT_EQ(::GetFocus(), dlg.IntervalBox());
    ::SendMessageW(dlg.IntervalBox(), EM_SETSEL, 0, -1);
    deliver(WM_CHAR, '5');
    deliver(WM_CHAR, '0');
    EXPECT_EQ(dlg.BoxText(dlg.IntervalBox()), "50");
    EXPECT_EQ(dlg.BoxText(dlg.CountBox()), "3");
    // Then on to OK.
    deliver(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), static_cast<int>(CFirekeyDlg::kIdOk));
}

}  // namespace

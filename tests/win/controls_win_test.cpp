// Skinned buttons, combo buttons and popup menus as real windows, driven by real messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/win/menu_dlg.h"
#include "controls/skin_paths.h"
#include "controls/win/png_btn.h"
#include "controls/win/skin_picture.h"
#include "platform/window.h"
#include "support/temp_dir.h"
#include "win/ui_host.h"

namespace {

class ControlsWin : public ::testing::Test {
  protected:
    zvtest::UiHost host;
    std::vector<std::pair<std::string, std::string>> boxes;
    UiTheme theme;

    static PngBtnArgs At(int x, int y, UINT id, const char* caption = "") {
        PngBtnArgs a;
        a.id = id;
        a.rc = RECT{x, y, x, y};
        a.caption = caption;
        return a;
    }

    void SetUp() override {
        zvtest::StartGdiplus();
        gVar.szAppDir = zvtest::ProgramFolder();
        gVar.b4K = 0;
        platform::SetMessageBoxHook(
            [this](const std::string& text, const std::string& caption, uint32_t) {
                boxes.emplace_back(text, caption);
                return 1;
            });
        LoadMenuImages();
        ASSERT_TRUE(host.Open(0, 0, 800, ::GetSystemMetrics(SM_CYSCREEN)));
    }
    void TearDown() override {
        FreeMenuImages();
        platform::SetMessageBoxHook(nullptr);
        host.DestroyWindow();
    }
    static void Click(HWND w, int x = 3, int y = 3) {
        ::SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    static RECT WindowRect(HWND w) {
        RECT rc{};
        ::GetWindowRect(w, &rc);
        return rc;
    }
    // Hovers item k of a menu and releases the button over it.
    static void ChooseItem(CMenuDlg* menu, int k) {
        const ZvRect r = menu->Model().ItemRect(static_cast<size_t>(k));
        const LPARAM at = MAKELPARAM(r.left + 5, r.top + 3);
        ::SendMessageW(menu->m_hWnd, WM_MOUSEMOVE, 0, at);
        ::SendMessageW(menu->m_hWnd, WM_LBUTTONUP, 0, at);
    }
};

TEST_F(ControlsWin, CheckableToggleButtonClickedTwiceEndsUnchecked) {
    CPngBtn btn;
    PngBtnArgs a = At(10, 10, 501);
    a.checkable = true;
    ASSERT_EQ(NewSmallPngButton3(&btn, host.m_hWnd,
                                 {"check_nr.png", "check_nr.png", "check_dn.png"}, a, theme),
              1);
    btn.SetToggleOnClick(true);
    Click(btn.m_hWnd);
    EXPECT_TRUE(btn.GetCheck());
    Click(btn.m_hWnd);
    EXPECT_FALSE(btn.GetCheck());
    ASSERT_EQ(host.Count(WM_COMMAND), 2);
    EXPECT_EQ(host.seen[0].wp, MAKEWPARAM(501, BN_CLICKED));
    EXPECT_EQ(host.seen[0].lp, reinterpret_cast<LPARAM>(btn.m_hWnd));
}

TEST_F(ControlsWin, DisabledLookIgnoresClicksAndDoubleClicks) {
    CPngBtn btn;
    ASSERT_EQ(NewSmallPngButton3(&btn, host.m_hWnd,
                                 {"button2_nr.png", "button2_nr.png", "button2_nr.png"},
                                 At(10, 40, 502, "OK"), theme),
              1);
    btn.SetDoubleClickReport(true, 77);
    ::SendMessageW(btn.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3, 3));
    ::SendMessageW(btn.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    zvtest::Pump();
    ASSERT_EQ(host.Count(0x703), 1);
    host.seen.clear();

    btn.SetDisabledLook(true);
    Click(btn.m_hWnd);
    ::SendMessageW(btn.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3, 3));
    zvtest::Pump();
    EXPECT_TRUE(host.seen.empty());
}

TEST_F(ControlsWin, FactoriesWarnAndCreateNothingForAMissingPicture) {
    CPngBtn three, plain;
    EXPECT_EQ(
        NewSmallPngButton3(&three, host.m_hWnd, {"check_nr.png", "no_such.png", "check_dn.png"},
                           At(0, 0, 1), theme),
        0);
    PngBtnArgs a = At(0, 0, 2);
    a.rc = RECT{0, 0, 9, 9};
    EXPECT_EQ(NewSmallPngButton(&plain, host.m_hWnd,
                                {"check_nr.png", "check_nr.png", "no_such_dn.png"}, a, theme),
              0);
    EXPECT_EQ(three.m_hWnd, nullptr);
    EXPECT_EQ(plain.m_hWnd, nullptr);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].first.rfind("NewSmallPngButton3. file ", 0), 0u);
    EXPECT_NE(boxes[0].first.find("no_such.png not exist"), std::string::npos);
    EXPECT_EQ(boxes[0].second, "Warrning");
    EXPECT_EQ(boxes[1].first.rfind("NewSmallPngButton. file ", 0), 0u);
    // A missing file name is no warning.
    EXPECT_EQ(NewSmallPngButton3(&three, host.m_hWnd, {"check_nr.png", "check_nr.png", ""},
                                 At(0, 0, 1), theme),
              0);
    EXPECT_EQ(boxes.size(), 2u);
}

TEST_F(ControlsWin, AButtonDrawsItsCaptionInItsThemesColours) {
    struct Case {
        bool hover;
        COLORREF expected;
    };
    theme.buttonNormal = RGB(250, 10, 20);
    theme.buttonHover = RGB(10, 240, 30);
    CPngBtn btn;
    PngBtnArgs a = At(10, 10, 503, "WWWW");
    a.rc = RECT{10, 10, 110, 40};
    ASSERT_TRUE(btn.Create(host.m_hWnd, a, theme));
    for (const Case& c : {Case{false, theme.buttonNormal}, Case{true, theme.buttonHover}}) {
        if (c.hover) ::SendMessageW(btn.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
        HDC screen = ::GetDC(nullptr);
        HDC mem = ::CreateCompatibleDC(screen);
        HBITMAP bmp = ::CreateCompatibleBitmap(screen, 100, 30);
        HGDIOBJ old = ::SelectObject(mem, bmp);
        btn.Render(mem, false, false);
        int inColour = 0, inOther = 0;
        const COLORREF other = c.hover ? theme.buttonNormal : theme.buttonHover;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 100; ++x) {
                const COLORREF px = ::GetPixel(mem, x, y);
                inColour += px == c.expected;
                inOther += px == other;
            }
        }
        ::SelectObject(mem, old);
        ::DeleteObject(bmp);
        ::DeleteDC(mem);
        ::ReleaseDC(nullptr, screen);
        EXPECT_GT(inColour, 0) << "hover " << c.hover;
        EXPECT_EQ(inOther, 0) << "hover " << c.hover;
    }
}

class ComboWin : public ControlsWin {
  protected:
    CComboBtn combo;

    void MakeCombo(int top) {
        ComboBtnArgs a;
        a.button.id = 600;
        a.button.rc = RECT{100, top, 240, top + 30};
        ASSERT_TRUE(combo.Create(host.m_hWnd, a, theme));
        const char* names[] = {"1 ms", "2 ms", "4 ms", "8 ms", "16 ms"};
        for (int i = 0; i < 5; ++i) combo.AddItem(0, 1 << i, names[i]);
        combo.SelectValue(2);
    }
};

TEST_F(ComboWin, NearTheBottomOfTheScreenTheListOpensAbove) {
    const int fullHeight = ::GetSystemMetrics(SM_CYFULLSCREEN);
    MakeCombo(fullHeight - 40);
    Click(combo.m_hWnd);
    CMenuDlg* menu = GetOpenPopup();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(WindowRect(menu->m_hWnd).top, WindowRect(combo.m_hWnd).top - 100);
    EXPECT_EQ(WindowRect(menu->m_hWnd).left, WindowRect(combo.m_hWnd).left);
    // A second click on the combo closes the list instead of opening another.
    Click(combo.m_hWnd);
    EXPECT_EQ(GetOpenPopup(), nullptr);
}

TEST_F(ComboWin, AChoiceIsAskedForFirst) {
    struct Case {
        bool allow;
        int commands;
        const char* caption;
        int32_t value;
    };
    const Case cases[] = {{false, 0, "2 ms", 2}, {true, 1, "8 ms", 8}};
    MakeCombo(100);
    for (const auto& c : cases) {
        combo.SelectValue(2);
        combo.SetPermission([&c] { return c.allow; });
        host.seen.clear();
        Click(combo.m_hWnd);
        ASSERT_NE(GetOpenPopup(), nullptr);
        ChooseItem(GetOpenPopup(), 3);
        zvtest::Pump();
        EXPECT_EQ(GetOpenPopup(), nullptr);
        EXPECT_EQ(host.Count(WM_COMMAND), c.commands);
        EXPECT_EQ(combo.GetText(), c.caption);
        EXPECT_EQ(combo.GetValue(), c.value);
    }
    ASSERT_EQ(host.seen.size(), 1u);
    EXPECT_EQ(host.seen[0].wp, MAKEWPARAM(600, 0));
    EXPECT_EQ(host.seen[0].lp, reinterpret_cast<LPARAM>(combo.m_hWnd));
}

std::vector<MenuEntry> TwoItemsWithASubMenu() {
    return {MakeMenuEntry(kMenuTopLevel, 10, "Left click"),
            MakeMenuEntry(kMenuTopLevel, 11, "Key combination"), MakeMenuEntry(1, 20, "Ctrl + C"),
            MakeMenuEntry(1, 21, "Ctrl + V")};
}

TEST_F(ControlsWin, SubMenuOpensToTheRightAndReportsTheTopMenusTag) {
    const auto entries = TwoItemsWithASubMenu();
    ASSERT_EQ(OpenPopup(host.m_hWnd, 4, 150, 200, 300, RGB(200, 200, 200), RGB(0, 212, 255), 7,
                        entries.data()),
              1);
    CMenuDlg* menu = GetOpenPopup();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->Model().TopCount(), 2u);
    const ZvRect item1 = menu->Model().ItemRect(1);
    ::SendMessageW(menu->m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(10, item1.top + 2));
    CMenuDlg* sub = menu->SubMenu();
    ASSERT_NE(sub, nullptr);
    const RECT mr = WindowRect(menu->m_hWnd), sr = WindowRect(sub->m_hWnd);
    EXPECT_EQ(sr.left, mr.right);
    EXPECT_EQ(sr.top + sub->Model().ItemRect(1).top, mr.top + item1.top);

    // The item with children reports nothing; the sub-menu's first item reports its value.
    ::SendMessageW(menu->m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(10, item1.top + 2));
    zvtest::Pump();
    EXPECT_EQ(host.Count(WM_MENU_RESULT), 0);
    ChooseItem(sub, 0);
    zvtest::Pump();
    ASSERT_EQ(host.Count(WM_MENU_RESULT), 1);
    EXPECT_EQ(host.seen[0].wp, 20u);
    EXPECT_EQ(host.seen[0].lp, 7);
    // The menu waits for its receiver to close it.
    EXPECT_EQ(GetOpenPopup(), menu);
    ClosePopup();
    EXPECT_EQ(GetOpenPopup(), nullptr);
}

TEST_F(ControlsWin, EscapeAndEnterLeaveTheMenuOpen) {
    const auto entries = TwoItemsWithASubMenu();
    ASSERT_EQ(OpenPopup(host.m_hWnd, 2, 150, 200, 300, 0, 0, 0, entries.data()), 1);
    HWND menu = GetOpenPopup()->m_hWnd;
    ::SetFocus(menu);
    for (WPARAM key : {VK_ESCAPE, VK_RETURN, VK_F1}) {
        ::PostMessageW(menu, WM_KEYDOWN, key, 1);
        ::PostMessageW(menu, WM_KEYUP, key, 0xC0000001);
    }
    zvtest::Pump();
    EXPECT_TRUE(::IsWindow(menu));
    EXPECT_NE(GetOpenPopup(), nullptr);
    // A second popup replaces the first.
    ASSERT_EQ(OpenPopup(host.m_hWnd, 2, 150, 200, 300, 0, 0, 0, entries.data()), 1);
    EXPECT_FALSE(::IsWindow(menu));
    ClosePopup();
}

TEST_F(ControlsWin, WithoutItsPictureTheMenuWarnsAndUsesPlainColours) {
    zvtest::TempDir empty;
    FreeMenuImages();
    gVar.szAppDir = empty.path();
    LoadMenuImages();
    const auto entries = TwoItemsWithASubMenu();
    EXPECT_EQ(OpenPopup(host.m_hWnd, 2, 150, 200, 300, 0, 0, 0, entries.data()), 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "Menu item height is 0");
    EXPECT_EQ(boxes[0].second, "Warring");
    CMenuDlg* menu = GetOpenPopup();
    ASSERT_NE(menu, nullptr);
    // Zero-height items: the window is its border alone, filled with the plain background.
    const RECT rc = WindowRect(menu->m_hWnd);
    EXPECT_EQ(rc.bottom - rc.top, 2);
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    HBITMAP bmp = ::CreateCompatibleBitmap(screen, 150, 2);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    menu->Render(mem);
    EXPECT_EQ(::GetPixel(mem, 0, 0), RGB(100, 100, 100));  // border colour
    ::SelectObject(mem, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    ClosePopup();
}

TEST_F(ControlsWin, PictureHelpersAndWindowShape) {
    PicturePtr msg = LoadSkinPicture(SkinPath("msg_nr.png"));
    ASSERT_TRUE(PicturePresent(msg.get()));
    const int w = PictureWidth(msg.get()), h = PictureHeight(msg.get());
    EXPECT_FALSE(PicturePresent(LoadSkinPicture(SkinPath("no_such.png")).get()));
    zvtest::TempDir dir;
    dir.Write("check_nr.png", "");
    EXPECT_FALSE(PicturePresent(LoadSkinPicture(dir / "check_nr.png").get()));

    PicturePtr doubled = ScalePicture(msg.get(), 2.0);
    EXPECT_EQ(PictureWidth(doubled.get()), 2 * w);
    EXPECT_EQ(PictureHeight(doubled.get()), 2 * h);
    PicturePtr part = CopyPictureRect(msg.get(), RECT{10, 20, 60, 40});
    EXPECT_EQ(PictureWidth(part.get()), 50);
    EXPECT_EQ(PictureHeight(part.get()), 20);
    // A cut reaching past the picture gives nothing and leaves the failure with the source.
    EXPECT_EQ(CropPicture(msg.get(), w - 5, 0, 10, 10), nullptr);
    EXPECT_NE(msg->lastStatus, Gdiplus::Ok);

    // The key-coloured corners leave the window; its middle stays; key 0 removes the shape.
    ShapeWindowFromPicture(host.m_hWnd, msg.get(), RGB(0, 255, 0), 0);
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(host.m_hWnd, rgn), ERROR);
    EXPECT_FALSE(::PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(::PtInRegion(rgn, w - 1, h - 1));
    EXPECT_TRUE(::PtInRegion(rgn, w / 2, h / 2));
    EXPECT_TRUE(::PtInRegion(rgn, w / 2, 0));
    ShapeWindowFromPicture(host.m_hWnd, msg.get(), 0, 0);
    EXPECT_EQ(::GetWindowRgn(host.m_hWnd, rgn), ERROR);
    ::DeleteObject(rgn);
}

// A control's background part shares the memory of a picture that stays anyway (a view of the
// window's background) and is its own copy of a page's own picture, which the page lets go
// while hidden: a view there would keep the whole picture alive for one button.
TEST_F(ControlsWin, APartSharesOnlyTheMemoryOfAPictureThatStays) {
    PicturePtr window = SharedSkinPicture(SkinPath("msg_nr.png"));
    ASSERT_TRUE(PicturePresent(window.get()));
    // The same file again while it is held: the same decoded picture, not a second one.
    EXPECT_EQ(SharedSkinPicture(SkinPath("msg_nr.png")), window);

    PicturePtr page = PictureView(window, RECT{0, 10, 200, 110});
    PicturePtr onView = PictureOfPart(page.get(), RECT{5, 5, 45, 25});
    ASSERT_TRUE(PicturePresent(onView.get()));
    EXPECT_EQ(onView->pixels, window->pixels);
    EXPECT_EQ(onView->origin, window->origin + 15 * window->stride + 5 * 4);

    PicturePtr own = LoadSkinPicture(SkinPath("msg_nr.png"));
    PicturePtr onOwn = PictureOfPart(own.get(), RECT{5, 5, 45, 25});
    ASSERT_TRUE(PicturePresent(onOwn.get()));
    EXPECT_NE(onOwn->pixels, own->pixels);
    EXPECT_EQ(PictureWidth(onOwn.get()), 40);
    EXPECT_EQ(PictureHeight(onOwn.get()), 20);
}

}  // namespace

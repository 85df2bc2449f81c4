// A page inside a window with controls on it, driven by real mouse messages: every notice
// reaches the callback of the control that sent it, and what no control takes reaches the
// page's own handlers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/skin_paths.h"
#include "controls/win/menu_dlg.h"
#include "controls/win/page_base.h"
#include "controls/win/png_btn.h"
#include "platform/window.h"
#include "win/ui_host.h"

namespace {

constexpr UINT kIdApply = 10, kIdPlain = 11, kIdRate = 12;

class CTestPage : public CPageBase {
  public:
    CPngBtn apply, plain;
    CComboBtn rate;
    bool allowRate = false;
    std::vector<std::string> heard;  // what reached the page's callbacks, in order

  protected:
    bool OnCreatePage() override {
        PngBtnArgs a;
        a.id = kIdApply;
        a.rc = RECT{10, 10, 110, 40};
        a.caption = "Apply";
        a.onClick = [this] { heard.push_back("apply clicked"); };
        PngBtnArgs p;
        p.id = kIdPlain;
        p.rc = RECT{10, 50, 110, 80};
        p.caption = "Plain";
        SetCommandHandler(kIdPlain, [this](UINT code) {
            heard.push_back("page command " + std::to_string(code));
        });
        ComboBtnArgs c;
        c.button.id = kIdRate;
        c.button.rc = RECT{10, 90, 150, 120};
        c.permission = [this] { return allowRate; };
        c.onChange = [this](int32_t v) { heard.push_back("rate " + std::to_string(v)); };
        if (!AddButton(apply, a) || !AddButton(plain, p) || !AddCombo(rate, c)) return false;
        const char* names[] = {"125 Hz", "250 Hz", "500 Hz", "1000 Hz"};
        const int32_t values[] = {1, 2, 4, 8};
        for (int i = 0; i < 4; ++i) rate.AddItem(0, values[i], names[i]);
        rate.SelectValue(2);
        return true;
    }
    bool OnCommand(UINT id, UINT, HWND) override {
        heard.push_back("unrouted " + std::to_string(id));
        return true;
    }
    void OnShow(bool shown) override { heard.push_back(shown ? "shown" : "hidden"); }
};

class PageWin : public ::testing::Test {
  protected:
    zvtest::UiHost host;
    CTestPage page;
    std::vector<std::string> boxes;  // message boxes shown, which must be none

    void SetUp() override {
        zvtest::StartGdiplus();
        platform::SetMessageBoxHook([this](const std::string& text, const std::string&, uint32_t) {
            boxes.push_back(text);
            return 1;
        });
        gVar.szAppDir = zvtest::ProgramFolder();
        LoadMenuImages();
        ASSERT_TRUE(host.Open(0, 0, 400, 300));
        ASSERT_TRUE(page.CreatePage(host.m_hWnd, RECT{20, 30, 380, 280}, UiTheme{}, 7));
        page.Show(true);
    }
    void TearDown() override {
        EXPECT_TRUE(boxes.empty()) << boxes.front();
        platform::SetMessageBoxHook(nullptr);
        FreeMenuImages();
        host.DestroyWindow();
    }
    // A click as the mouse makes it: pressed and released over the window, through the queue.
    static void Click(HWND w, int x, int y) {
        ::PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::PostMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        zvtest::Pump();
    }
    void ChooseRate(int item) {
        Click(page.rate.m_hWnd, 5, 5);
        CMenuDlg* menu = GetOpenPopup();
        ASSERT_NE(menu, nullptr);
        const ZvRect r = menu->Model().ItemRect(static_cast<size_t>(item));
        ::PostMessageW(menu->m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(r.left + 5, r.top + 3));
        ::PostMessageW(menu->m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(r.left + 5, r.top + 3));
        zvtest::Pump();
    }
};

TEST_F(PageWin, AClickReachesTheButtonsCallbackAndAPlainButtonThePage) {
    EXPECT_TRUE(page.IsShown());
    EXPECT_EQ(::GetParent(page.apply.m_hWnd), page.m_hWnd);
    Click(page.apply.m_hWnd, 5, 5);
    Click(page.plain.m_hWnd, 5, 5);
    page.Show(false);
    const std::vector<std::string> expected = {
        "shown", "apply clicked", "page command " + std::to_string(BN_CLICKED), "hidden"};
    EXPECT_EQ(page.heard, expected);
}

TEST_F(PageWin, ARefusedChoiceKeepsTheComboAndReportsNothing) {
    page.heard.clear();
    ChooseRate(3);
    EXPECT_EQ(GetOpenPopup(), nullptr);
    EXPECT_EQ(page.rate.GetValue(), 2);
    EXPECT_EQ(page.rate.GetText(), "250 Hz");
    EXPECT_TRUE(page.heard.empty());

    // Permitted, the same choice is taken and reported once.
    page.allowRate = true;
    ChooseRate(3);
    EXPECT_EQ(page.rate.GetValue(), 8);
    EXPECT_EQ(page.rate.GetText(), "1000 Hz");
    EXPECT_EQ(page.heard, std::vector<std::string>{"rate 8"});
}

}  // namespace

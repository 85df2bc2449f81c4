// The window without a mouse pointer: keys delivered as the modal run delivers them (the
// window's key filter first, then the focused control), the focus order of every page of the
// real main window, keys that reach the virtual mouse's memory through the same models as the
// clicks, and what a screen reader hears through the system's accessibility interface.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/config.h"
#include "base/language_texts.h"
#include "controls/win/accessible.h"
#include "controls/win/focus_nav.h"
#include "controls/win/menu_dlg.h"
#include "controls/tree_model.h"
#include "controls/win/tree_ctrl_ex.h"
#include "device/eeprom_map.h"
#include "platform/hid.h"
#include "platform/win/wide.h"
#include "sim/virtual_receiver.h"
#include "ui/performance_model.h"
#include "ui/win/key_dlg.h"
#include "ui/win/main_dlg.h"
#include "ui/win/new_adv_dlg.h"
#include "ui/win/power_dlg.h"
#include "win/main_window_start.h"
#include "win/page_world.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A key pressed and released with Ctrl and Shift as given, through the filters of the windows
// up to `top` (as the modal run does), then to the focused window.
void PressKey(HWND top, UINT vk, bool ctrl = false, bool shift = false) {
    BYTE saved[256];
    ::GetKeyboardState(saved);
    BYTE state[256];
    std::memcpy(state, saved, sizeof state);
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(state);
    for (UINT m : {static_cast<UINT>(WM_KEYDOWN), static_cast<UINT>(WM_KEYUP)}) {
        HWND focus = ::GetFocus();
        MSG msg{};
        msg.hwnd = focus ? focus : top;
        msg.message = m;
        msg.wParam = vk;
        msg.lParam = m == WM_KEYDOWN ? 1 : static_cast<LPARAM>(0xC0000001);
        if (PreTranslateUpTo(&msg, top)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    ::SetKeyboardState(saved);
    zvtest::Pump(20);
}

int FocusId() {
    return ::GetDlgCtrlID(::GetFocus());
}

// ---- what a screen reader hears -----------------------------------------------------------

struct Heard {
    bool answered = false;
    std::string name, value;
    long role = 0, state = 0;
};

Heard Ask(HWND wnd) {
    Heard h;
    IAccessible* acc = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(wnd, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                            reinterpret_cast<void**>(&acc))) ||
        !acc)
        return h;
    h.answered = true;
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    if (acc->get_accName(self, &text) == S_OK && text) {
        h.name = platform::win::Narrow(text);
        ::SysFreeString(text);
    }
    text = nullptr;
    if (acc->get_accValue(self, &text) == S_OK && text) {
        h.value = platform::win::Narrow(text);
        ::SysFreeString(text);
    }
    VARIANT v;
    ::VariantInit(&v);
    if (acc->get_accRole(self, &v) == S_OK && v.vt == VT_I4) h.role = v.lVal;
    ::VariantInit(&v);
    if (acc->get_accState(self, &v) == S_OK && v.vt == VT_I4) h.state = v.lVal;
    acc->Release();
    return h;
}

// The performance page over the virtual mouse, its keys going through the host's filters.
class KeyboardPageWin : public zvtest::PageWorld {
  protected:
    void SetUp() override {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        PageWorld::SetUp();
        gVar.pFile->bSeparateXY = 0;
        gVar.pFile->nRate = 0x1000;
    }
    void TearDown() override {
        ClosePopup();
        perf.DestroyWindow();
        PageWorld::TearDown();
        ::CoUninitialize();
    }
    void Press(UINT vk) { PressKey(host.m_hWnd, vk); }

    CNewAdvDlg perf{PageParts{pageHost, TheProfile(), gVar, gVar, g_MacroList}};
};

// ---- keys through the models to the mouse ---------------------------------------------------

TEST_F(KeyboardPageWin, ARadioGroupMovesWithTheArrowsAndWritesTheRate) {
    ASSERT_TRUE(Open(perf));
    ASSERT_TRUE(perf.RateButton(3).GetCheck());
    ::SetFocus(perf.RateButton(3).m_hWnd);
    Press(VK_UP);  // from 1000 Hz to 500 Hz, as a click on that button
    WaitWritten();
    EXPECT_EQ(FocusId(), static_cast<int>(CNewAdvDlg::kIdRate + 2));
    EXPECT_TRUE(perf.RateButton(2).GetCheck());
    EXPECT_FALSE(perf.RateButton(3).GetCheck());
    EXPECT_EQ(gVar.pFile->nRate, 0x500);
    EXPECT_EQ(mouse.Peek(eeprom::kRate, 2), (Bytes{0x02, 0x53}));
    // Down from 500 Hz is 1000 Hz, then round to the first button: 125 Hz, an 8 ms interval.
    Press(VK_DOWN);
    Press(VK_DOWN);
    WaitWritten();
    EXPECT_EQ(FocusId(), static_cast<int>(CNewAdvDlg::kIdRate));
    EXPECT_EQ(mouse.Peek(eeprom::kRate, 2), (Bytes{0x08, 0x4D}));
}

TEST_F(KeyboardPageWin, ASliderStepsThroughItsOwnListAndWritesThatLevel) {
    ASSERT_TRUE(Open(perf));
    CPngHSliderBarEx& bar = perf.Bar(2);
    const SliderScale& scale = bar.Model()->Thumb(1).scale;
    const Bytes level1 = mouse.Peek(eeprom::kDpiLevels + 4, 4);
    ::SetFocus(bar.m_hWnd);
    const int32_t from = scale.Index();
    Press(VK_RIGHT);
    WaitWritten();
    const int32_t want = scale.ValueOf(from + 1);
    EXPECT_EQ(bar.GetValue(1), want);
    EXPECT_EQ(bar.GetValue(2), want);
    EXPECT_EQ(gVar.pFile->dpi[2].x, static_cast<uint32_t>(want));
    // Steps of 50 DPI from 50: the code is value / 50 - 1, X and Y alike.
    const auto code = static_cast<uint8_t>(want / 50 - 1);
    EXPECT_EQ(mouse.Peek(eeprom::kDpiLevels + 8, 2), (Bytes{code, code}));
    // Home goes to the sensor's first value; other levels stay as they were.
    Press(VK_HOME);
    WaitWritten();
    EXPECT_EQ(bar.GetValue(1), scale.ValueOf(scale.Minimum()));
    EXPECT_EQ(mouse.Peek(eeprom::kDpiLevels + 8, 2), (Bytes{0x00, 0x00}));
    EXPECT_EQ(mouse.Peek(eeprom::kDpiLevels + 4, 4), level1);
}

TEST_F(KeyboardPageWin, SpaceOnAColourBoxOpensTheChooserAndWritesThatLevelsColour) {
    ASSERT_TRUE(Open(perf));
    CDpiColourBox& box = perf.ColourBox(3);
    int chosen = 0;
    box.SetChooser([&](HWND, COLORREF* c) {
        ++chosen;
        *c = RGB(0x56, 0x34, 0x12);
        return true;
    });
    const Bytes level2 = mouse.Peek(eeprom::kDpiColours + 8, 4);
    ::SetFocus(box.m_hWnd);
    Press(VK_SPACE);
    WaitWritten();
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(FocusId(), static_cast<int>(CNewAdvDlg::kIdColour + 3));
    // Red, green, blue, then the check byte 0x55 - 0x56 - 0x34 - 0x12; the level before stays.
    EXPECT_EQ(mouse.Peek(eeprom::kDpiColours + 12, 4), (Bytes{0x56, 0x34, 0x12, 0xB9}));
    EXPECT_EQ(mouse.Peek(eeprom::kDpiColours + 8, 4), level2);
    // Enter does the same; a box that only shows its colour takes no key.
    Press(VK_RETURN);
    EXPECT_EQ(chosen, 2);
    box.SetReadOnly(true);
    Press(VK_RETURN);
    EXPECT_EQ(chosen, 2);
}

TEST_F(KeyboardPageWin, AListOpensWithEnterMovesWithArrowsAndEscapeChoosesNothing) {
    ASSERT_TRUE(Open(perf));
    CComboBtn& count = perf.LevelCount();
    ASSERT_EQ(count.GetValue(), 6);
    ::SetFocus(count.m_hWnd);
    Press(VK_RETURN);
    ASSERT_NE(GetOpenPopup(), nullptr);
    EXPECT_EQ(GetOpenPopup()->Hovered(), 5);  // the chosen count is lit
    Press(VK_UP);
    Press(VK_ESCAPE);
    EXPECT_EQ(GetOpenPopup(), nullptr);
    WaitWritten();
    EXPECT_EQ(count.GetValue(), 6);
    EXPECT_TRUE(mouse.WriteAddresses().empty());

    Press(VK_SPACE);
    Press(VK_UP);
    Press(VK_UP);
    Press(VK_RETURN);
    WaitWritten();
    EXPECT_EQ(GetOpenPopup(), nullptr);
    EXPECT_EQ(count.GetValue(), 4);
    EXPECT_EQ(mouse.Peek(eeprom::kLevelCount, 2), (Bytes{0x04, 0x51}));
    EXPECT_EQ(FocusId(), static_cast<int>(CNewAdvDlg::kIdLevels));
}

// The buttons page's rows: Enter opens the function menu, the arrows and Enter choose.
TEST_F(KeyboardPageWin, ARowOpensItsMenuWithEnterAndTheChoiceReachesTheMouse) {
    gVar.pFile->dwId = 0x1234;
    gVar.pFile->keys = gVar.WorkDefKeys;
    zvtest::StubPageHost rowHost;
    CKeyDlg keys(PageParts{rowHost, TheProfile(), gVar, gVar, g_MacroList});
    ASSERT_TRUE(Open(keys));
    // Each row's code lies in the key-matrix slot its record names.
    auto slot = [](int row) {
        return eeprom::kMatrix + 4 * (gVar.pFile->keys[0][static_cast<size_t>(row)].MatrixInx - 1);
    };
    ASSERT_GT(gVar.pFile->keys[0][1].MatrixInx, 0u);
    const Bytes row0 = mouse.Peek(slot(0), 4);
    ::SetFocus(keys.Row(1).m_hWnd);
    const std::string before = keys.Row(1).GetText();
    Press(VK_RETURN);
    ASSERT_NE(GetOpenPopup(), nullptr);
    // The row's own function (the right click, the second entry) is marked.
    EXPECT_EQ(GetOpenPopup()->Marked(), 1);
    // Down lights the first entry (left click), two more the middle click.
    Press(VK_DOWN);
    Press(VK_DOWN);
    Press(VK_DOWN);
    EXPECT_EQ(GetOpenPopup()->Hovered(), 2);
    // The focus stays on the row; a screen reader asks the menu what is highlighted.
    const Heard menu = Ask(GetOpenPopup()->m_hWnd);
    EXPECT_EQ(menu.role, ROLE_SYSTEM_MENUPOPUP);
    EXPECT_EQ(menu.name, GetText("tc_middle"));
    EXPECT_EQ(menu.value, "3 / " + std::to_string(GetOpenPopup()->Model().TopCount()));
    Press(VK_RETURN);
    WaitWritten();
    EXPECT_EQ(GetOpenPopup(), nullptr);
    EXPECT_EQ(keys.Row(1).GetText(), GetText("tc_middle"));
    EXPECT_NE(keys.Row(1).GetText(), before);
    EXPECT_EQ(gVar.pFile->keys[0][1].dwFunID, 0x01000012u);
    // The middle button as the mouse keeps it: kind 01 (a mouse button), its bit 04, 00, and
    // the check byte 0x55 - 0x01 - 0x04.
    EXPECT_EQ(mouse.Peek(slot(1), 4), (Bytes{0x01, 0x04, 0x00, 0x50}));
    EXPECT_EQ(mouse.Peek(slot(0), 4), row0);
    keys.DestroyWindow();
}

// A macro tree: the keys walk, fold and open as the pointer would, and the owner hears the same
// messages.
class TreeOwner : public zvtest::UiHost {
  public:
    std::vector<std::pair<UINT, LPARAM>> heard;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_TREE_CLICK || msg == WM_TREE_DBLCLK || msg == WM_TREE_RCLICK)
            heard.push_back({msg, lp});
        return UiHost::WindowProc(msg, wp, lp);
    }
};

TEST(KeyboardTreeWin, ArrowsWalkFoldAndUnfoldEnterOpensDeleteAsks) {
    zvtest::StartGdiplus();
    TreeOwner owner;
    ASSERT_TRUE(owner.Open(0, 0, 300, 300));
    CTreeCtrlEx tree;
    TreeCreateArgs t;
    t.id = 261;
    t.rc = RECT{0, 0, 250, 250};
    ASSERT_TRUE(tree.Create(owner.m_hWnd, t, UiTheme{}));
    HTREEITEM folder = tree.InsertItem(TVI_ROOT, false, CTreeCtrlEx::kFolder, "", "Games", 0, 5);
    HTREEITEM inside = tree.InsertItem(folder, false, CTreeCtrlEx::kLeaf, "", "Reload", 11, 5);
    HTREEITEM after = tree.InsertItem(TVI_ROOT, false, CTreeCtrlEx::kLeaf, "", "Burst", 12, 5);
    std::vector<HTREEITEM> deleted;
    tree.SetOnDeleteKey([&deleted](HTREEITEM item) { deleted.push_back(item); });
    ::SetFocus(tree.m_hWnd);
    auto press = [&owner](UINT vk) { PressKey(owner.m_hWnd, vk); };
    auto item = [](HTREEITEM h) { return reinterpret_cast<LPARAM>(h); };

    press(VK_DOWN);  // nothing chosen yet: the first row
    press(VK_DOWN);  // the folder is closed: the next row is after it
    EXPECT_EQ(tree.Selected(), after);
    press(VK_UP);
    press(VK_RIGHT);  // unfold
    EXPECT_TRUE(tree.FindRecord(folder)->expanded);
    press(VK_RIGHT);  // into it
    EXPECT_EQ(tree.Selected(), inside);
    press(VK_RETURN);  // opens, as a double click
    press(VK_DELETE);
    press(VK_LEFT);  // a row goes up to its folder
    press(VK_LEFT);  // an open folder folds
    EXPECT_FALSE(tree.FindRecord(folder)->expanded);
    EXPECT_EQ(tree.Selected(), folder);
    const std::vector<std::pair<UINT, LPARAM>> want = {
        {WM_TREE_CLICK, item(folder)},  {WM_TREE_CLICK, item(after)},
        {WM_TREE_CLICK, item(folder)},  {WM_TREE_CLICK, item(inside)},
        {WM_TREE_DBLCLK, item(inside)}, {WM_TREE_CLICK, item(folder)},
    };
    EXPECT_EQ(owner.heard, want);
    EXPECT_EQ(deleted, std::vector<HTREEITEM>{inside});
    // While a macro records, no key moves anything.
    tree.SetEnabled(false);
    press(VK_DOWN);
    EXPECT_EQ(tree.Selected(), folder);
    tree.DestroyWindow();
    owner.DestroyWindow();
}

// ---- what a screen reader hears --------------------------------------------------------------

TEST_F(KeyboardPageWin, EachControlClassAnswersNameRoleStateAndValue) {
    ASSERT_TRUE(Open(perf));
    CTreeCtrlEx tree;
    TreeCreateArgs t;
    t.id = 900;
    t.rc = RECT{10, 10, 200, 200};
    ASSERT_TRUE(tree.Create(host.m_hWnd, t, UiTheme{}));
    tree.SetAccessibleName("Macro library");
    tree.InsertItem(TVI_ROOT, true, CTreeCtrlEx::kLeaf, "", "Reload", 7, 5);
    CPowerDlg power(gVar, gVar);
    ASSERT_TRUE(power.Create(host.m_hWnd, RECT{300, 10, 337, 53}));
    power.SetAccessibleName(GetText("tc_battery"));
    power.SetPower(1, 80);
    ::ShowWindow(power.m_hWnd, SW_SHOWNA);
    perf.RateButton(0).SetDisabledLook(true);
    ::SetFocus(perf.RateButton(2).m_hWnd);
    zvtest::Pump(20);

    const std::string rate = GetText("tc_adv_str6") + ": ";
    perf.ColourBox(1).SetColour(RGB(0x0a, 0xb1, 0xc2));
    const std::string boxColour = "#0ab1c2";
    const long focusable = STATE_SYSTEM_FOCUSABLE;
    struct Case {
        const char* what;
        HWND wnd;
        std::string name;
        long role, state;
        std::string value;
    };
    const Case cases[] = {
        {"rate button, focused", perf.RateButton(2).m_hWnd, rate + RateLabel(2),
         ROLE_SYSTEM_RADIOBUTTON, focusable | STATE_SYSTEM_FOCUSED, ""},
        {"rate button, chosen", perf.RateButton(3).m_hWnd, rate + RateLabel(3),
         ROLE_SYSTEM_RADIOBUTTON, focusable | STATE_SYSTEM_CHECKED, ""},
        {"rate button, disabled", perf.RateButton(0).m_hWnd, rate + RateLabel(0),
         ROLE_SYSTEM_RADIOBUTTON, focusable | STATE_SYSTEM_UNAVAILABLE, ""},
        {"check box", perf.SwitchBox(PerfSwitch::kRipple).m_hWnd, GetText("tc_adv_str12"),
         ROLE_SYSTEM_CHECKBUTTON, focusable, ""},
        {"list", perf.LevelCount().m_hWnd, GetText("tc_adv_str19"), ROLE_SYSTEM_COMBOBOX, focusable,
         "6"},
        {"value label", perf.XLabel(1).m_hWnd,
         DpiLevelName(1, false) + " X: " + perf.XLabel(1).GetText(), ROLE_SYSTEM_PUSHBUTTON,
         focusable, ""},
        {"two-thumb slider", perf.Bar(1).m_hWnd, DpiLevelName(1, false), ROLE_SYSTEM_SLIDER,
         focusable, std::to_string(perf.Bar(1).GetValue(1))},
        {"slider, hidden", perf.EffectSlider(false).m_hWnd, GetText("tc_adv_str7"),
         ROLE_SYSTEM_SLIDER, focusable | STATE_SYSTEM_INVISIBLE,
         std::to_string(perf.EffectSlider(false).GetValue())},
        {"colour box", perf.ColourBox(1).m_hWnd,
         DpiLevelName(1, false) + " " + GetText("tc_adv_str30"), ROLE_SYSTEM_PUSHBUTTON, focusable,
         boxColour},
        {"tree", tree.m_hWnd, "Macro library", ROLE_SYSTEM_OUTLINE, focusable, "Reload"},
        {"battery", power.m_hWnd, GetText("tc_battery"), ROLE_SYSTEM_PROGRESSBAR, 0,
         "80 %, " + GetText("tc_charging")},
    };
    for (const Case& c : cases) {
        const Heard h = Ask(c.wnd);
        ASSERT_TRUE(h.answered) << c.what;
        EXPECT_EQ(h.name, c.name) << c.what;
        EXPECT_EQ(h.role, c.role) << c.what;
        EXPECT_EQ(h.state, c.state) << c.what;
        EXPECT_EQ(h.value, c.value) << c.what;
    }
    power.DestroyWindow();
    tree.DestroyWindow();
}

// Every control of the page a person can see answers with a name and a role of its own.
BOOL CALLBACK CollectShown(HWND wnd, LPARAM lp) {
    if (::IsWindowVisible(wnd) && CWndBase::FromHandle(wnd) &&
        CWndBase::FromHandle(wnd)->Describe().role != 0)
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(wnd);
    return TRUE;
}

TEST_F(KeyboardPageWin, EveryVisibleControlOfThePageHasAName) {
    ASSERT_TRUE(Open(perf));
    std::vector<HWND> shown;
    ::EnumChildWindows(perf.m_hWnd, CollectShown, reinterpret_cast<LPARAM>(&shown));
    ASSERT_GE(shown.size(), 24u);
    for (HWND w : shown) {
        const Heard h = Ask(w);
        EXPECT_TRUE(h.answered && !h.name.empty() && h.role != 0)
            << "control " << ::GetDlgCtrlID(w) << " answers no name";
    }
}

// ---- the real main window: focus order and page keys -----------------------------------------

class OpenMainDlg : public CZorvanDlg {
  public:
    OpenMainDlg() : CZorvanDlg(false) {}
    bool Open() { return CreateDialogWindow(nullptr); }
    void ShowText(const std::string&) override {}
};

class KeyboardMainWin : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(zvtest::StartMainWindowTest(data.path(), "Zorvan keyboard test"));
        gVar.ShowMacro = 1;
        platform::SetHidBackend(std::make_shared<sim::VirtualBackend>());
    }
    void TearDown() override { platform::SetHidBackend(nullptr); }
    zvtest::TempDir data;
};

// The ids Tab visits from the page's own button, once round.
std::vector<int> TabRound(HWND top) {
    std::vector<int> ids;
    const HWND start = ::GetFocus();
    for (int n = 0; n < 100; ++n) {
        PressKey(top, VK_TAB);
        const HWND f = ::GetFocus();
        EXPECT_TRUE(f && ::IsWindowVisible(f))
            << "the focus went out of sight after " << ids.size();
        if (f == start) break;
        ids.push_back(::GetDlgCtrlID(f));
    }
    return ids;
}

TEST_F(KeyboardMainWin, EachPageIsReachedByItsKeyAndTabWalksItInReadingOrder) {
    OpenMainDlg dlg;
    ASSERT_TRUE(dlg.Open());
    ::ShowWindow(dlg.m_hWnd, SW_SHOW);
    ::SetFocus(dlg.m_hWnd);
    zvtest::Pump(50);
    // Per page (Ctrl+1 ... Ctrl+4): the control ids in the order Tab visits them after the
    // page's own button, once round: the page in reading order, then the window's top row
    // (language list 1004, help 1003, minimise 1001, exit 1002) and the logo's link 1005 above
    // the page buttons. A radio group is one stop, at its chosen member.
    const std::map<int, std::vector<int>> expected = {
        // the programs' links and, right of it, the profile list; the rows of the buttons 1 to
        // 6; debounce and auto sleep, each down and up; restore, export, import
        {kPageButtons, {134, 130, 100, 101, 102, 103,  104,  105,  1,    2,
                        1,   2,   131, 132, 133, 1004, 1003, 1001, 1002, 1005}},
        // level count; the current-level group (160 ...); then each level's colour box
        // (184 ...), bar and value, the rate group (at 1000 Hz, 205) beside the first;
        // separate X/Y; DPI indicator; ripple, the lift-off group (206), angle snapping, its
        // speed, motion sync
        {kPagePerformance,
         {201, 160, 184, 144, 168, 205, 185, 145, 169, 186, 146, 170,  187,  147,  171,  188, 148,
          172, 189, 149, 173, 200, 213, 208, 206, 209, 273, 210, 1004, 1003, 1001, 1002, 1005}},
        // record; the macro tree and the event list; record delays; the play-mode group;
        // insert; new, delete; edit and delete a row
        {kPageMacros,
         {270, 261, 262, 271, 280, 277, 273, 274, 276, 275, 1004, 1003, 1001, 1002, 1005}},
        // mode, brightness, speed, sleep time, light off while moving
        {kPageLighting, {300, 320, 321, 302, 303, 1004, 1003, 1001, 1002, 1005}},
    };
    static constexpr int kPageOf[4] = {kPageButtons, kPagePerformance, kPageMacros, kPageLighting};
    for (int k = 0; k < 4; ++k) {
        PressKey(dlg.m_hWnd, '1' + k, true);
        ASSERT_EQ(dlg.CurrentPage(), kPageOf[k]) << "Ctrl+" << k + 1;
        ASSERT_EQ(::GetFocus(), dlg.NaviButton(k).m_hWnd) << "Ctrl+" << k + 1;
        const std::vector<int> order = TabRound(dlg.m_hWnd);
        std::string seen;
        for (int id : order) seen += std::to_string(id) + " ";
        EXPECT_EQ(order, expected.at(kPageOf[k])) << "page " << kPageOf[k] << ": " << seen;
        // Shift+Tab walks the same round backwards.
        std::vector<int> back;
        for (size_t n = 0; n < order.size(); ++n) {
            PressKey(dlg.m_hWnd, VK_TAB, false, true);
            back.insert(back.begin(), FocusId());
        }
        EXPECT_EQ(back, order) << "page " << kPageOf[k];
    }
    // Ctrl+Tab goes on from the lighting page to the buttons page; Ctrl+Shift+Tab back.
    PressKey(dlg.m_hWnd, VK_TAB, true);
    EXPECT_EQ(dlg.CurrentPage(), kPageButtons);
    PressKey(dlg.m_hWnd, VK_TAB, true, true);
    EXPECT_EQ(dlg.CurrentPage(), kPageLighting);
    dlg.DestroyWindow();
}

TEST_F(KeyboardMainWin, ThePageButtonsAnswerAsTabsAndTheFocusIsAnnounced) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    OpenMainDlg dlg;
    ASSERT_TRUE(dlg.Open());
    ::ShowWindow(dlg.m_hWnd, SW_SHOW);
    zvtest::Pump(50);
    static std::vector<HWND> announced;
    announced.clear();
    HWINEVENTHOOK hook = ::SetWinEventHook(
        EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr,
        [](HWINEVENTHOOK, DWORD, HWND wnd, LONG obj, LONG, DWORD, DWORD) {
            if (obj == OBJID_CLIENT) announced.push_back(wnd);
        },
        ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    PressKey(dlg.m_hWnd, '2', true);
    zvtest::Pump(50);
    const Heard h = Ask(dlg.NaviButton(1).m_hWnd);
    EXPECT_EQ(h.name, GetText("tc_page2"));
    EXPECT_EQ(h.role, ROLE_SYSTEM_PAGETAB);
    EXPECT_EQ(h.state, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_CHECKED);
    if (hook) {
        EXPECT_NE(std::find(announced.begin(), announced.end(), dlg.NaviButton(1).m_hWnd),
                  announced.end());
        ::UnhookWinEvent(hook);
    }
    dlg.DestroyWindow();
    ::CoUninitialize();
}

}  // namespace

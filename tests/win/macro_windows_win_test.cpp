// The macro windows as real windows: the skinned tree clicked with real mouse messages, the
// macro picker and the move dialog run modally and driven by posted clicks and keys.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <thread>

#include "app/gvar.h"
#include "base/language_texts.h"
#include "controls/tree_model.h"
#include "controls/win/menu_dlg.h"
#include "controls/win/tree_ctrl_ex.h"
#include "macro/macro_file.h"
#include "platform/fs.h"
#include "platform/win/wide.h"
#include "support/temp_dir.h"
#include "macro/macro_store.h"
#include "ui/main_window_model.h"
#include "ui/win/macro_dlg.h"
#include "ui/win/move_dlg.h"
#include "ui/win/pick_macro_dlg.h"
#include "ui/win/profile_file_dlg.h"
#include "win/modal_steps.h"
#include "win/page_host_stub.h"
#include "win/ui_host.h"

namespace {

// A host that also keeps what the tree posts to its owner.
class TreeHost : public zvtest::UiHost {
  public:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_TREE_CLICK || msg == WM_TREE_DBLCLK || msg == WM_TREE_RCLICK)
            seen.push_back({msg, wp, lp});
        return UiHost::WindowProc(msg, wp, lp);
    }
};

// The middle of an item's text, in the tree's client coordinates.
LPARAM PointOf(HWND tree, HTREEITEM item) {
    RECT rc{};
    TreeView_GetItemRect(tree, item, &rc, TRUE);
    return MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
}

void Click(HWND tree, HTREEITEM item) {
    ::SendMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, PointOf(tree, item));
    ::SendMessageW(tree, WM_LBUTTONUP, 0, PointOf(tree, item));
}

std::string TextOf(HWND w) {
    wchar_t buf[300] = {};
    ::GetWindowTextW(w, buf, 300);
    return platform::win::Narrow(buf);
}

class TreeWin : public ::testing::Test {
  protected:
    TreeHost host;
    CTreeCtrlEx tree;
    static constexpr UINT kId = 33;

    void SetUp() override {
        zvtest::StartGdiplus();
        gVar.szAppDir = zvtest::ProgramFolder();
        ASSERT_TRUE(host.Open(100, 100, 400, 400));
        TreeCreateArgs a;
        a.id = kId;
        a.rc = {10, 10, 390, 390};
        ASSERT_TRUE(tree.Create(host.m_hWnd, a, UiTheme{}));
    }
    void TearDown() override {
        tree.DestroyWindow();
        host.DestroyWindow();
    }
    std::vector<zvtest::UiHost::Seen> Posted() {
        zvtest::Pump(30);
        std::vector<zvtest::UiHost::Seen> r = host.seen;
        host.seen.clear();
        return r;
    }
};

TEST_F(TreeWin, ClickingTheSelectedItemAgainTellsTheOwnerNothing) {
    HTREEITEM a = tree.InsertItem(TVI_ROOT, false, CTreeCtrlEx::kLeaf, "", "alpha", 0x11, 5);
    HTREEITEM b = tree.InsertItem(TVI_ROOT, false, CTreeCtrlEx::kLeaf, "", "beta", 0x22, 5);
    ASSERT_TRUE(a && b);

    Click(tree.m_hWnd, a);
    auto seen = Posted();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].msg, WM_TREE_CLICK);
    EXPECT_EQ(seen[0].wp, kId);
    EXPECT_EQ(seen[0].lp, reinterpret_cast<LPARAM>(a));
    EXPECT_EQ(tree.Selected(), a);

    // Reloading the editor here would drop the edits in progress.
    Click(tree.m_hWnd, a);
    EXPECT_TRUE(Posted().empty());

    Click(tree.m_hWnd, b);
    seen = Posted();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].lp, reinterpret_cast<LPARAM>(b));

    ::SendMessageW(tree.m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON, PointOf(tree.m_hWnd, a));
    seen = Posted();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].msg, WM_TREE_RCLICK);
    EXPECT_EQ(tree.Selected(), a);

    // While recording, clicks change nothing and report nothing.
    tree.SetEnabled(false);
    Click(tree.m_hWnd, b);
    EXPECT_TRUE(Posted().empty());
    EXPECT_EQ(tree.Selected(), a);
}

TEST_F(TreeWin, FolderAtDepthFiveTakesMacrosButNoFolder) {
    HTREEITEM f = TVI_ROOT;
    for (int depth = 0; depth <= 5; ++depth) {
        f = tree.InsertItem(f, false, CTreeCtrlEx::kFolder, "", "f" + std::to_string(depth), 0, 5);
        ASSERT_NE(f, nullptr) << depth;
        EXPECT_EQ(tree.ItemDepth(f), depth);
    }
    EXPECT_EQ(tree.InsertItem(f, false, CTreeCtrlEx::kFolder, "", "too deep", 0, 5), nullptr);
    HTREEITEM m = tree.InsertItem(f, false, CTreeCtrlEx::kLeaf, "", "macro", 7, 5);
    ASSERT_NE(m, nullptr);
    // A macro holds nothing.
    EXPECT_EQ(tree.InsertItem(m, false, CTreeCtrlEx::kLeaf, "", "inside", 8, 5), nullptr);
    EXPECT_EQ(tree.FindRecord(m)->value, 7);
}

TEST_F(TreeWin, TooltipFromThirteenCharacters) {
    HTREEITEM twelve =
        tree.InsertItem(TVI_ROOT, false, CTreeCtrlEx::kLeaf, "", "123456789012", 1, 5);
    HTREEITEM thirteen =
        tree.InsertItem(TVI_ROOT, false, CTreeCtrlEx::kLeaf, "", "1234567890123", 2, 5);
    ::SendMessageW(tree.m_hWnd, WM_MOUSEMOVE, 0, PointOf(tree.m_hWnd, thirteen));
    EXPECT_EQ(tree.TooltipText(), "1234567890123");
    ::SendMessageW(tree.m_hWnd, WM_MOUSEMOVE, 0, PointOf(tree.m_hWnd, twelve));
    EXPECT_EQ(tree.HotItem(), twelve);
    EXPECT_EQ(tree.TooltipText(), "");
}

TEST_F(TreeWin, RenamingInPlaceTakesOnlyWhatTheOwnerAccepts) {
    HTREEITEM a = tree.InsertItem(TVI_ROOT, false, CTreeCtrlEx::kLeaf, "", "old", 0x11, 5);
    struct Case {
        const wchar_t* typed;
        bool accept;
        const char* shown;
    };
    for (const Case& c :
         {Case{L"new name", true, "new name"}, Case{L"bad#name", false, "new name"}}) {
        std::string offered;
        tree.BeginRename(a, [&](HTREEITEM item, const std::string& text) {
            offered = text;
            return item == a && c.accept;
        });
        HWND edit = TreeView_GetEditControl(tree.m_hWnd);
        ASSERT_NE(edit, nullptr);
        ::SetWindowTextW(edit, c.typed);
        TreeView_EndEditLabelNow(tree.m_hWnd, FALSE);
        EXPECT_EQ(offered, platform::win::Narrow(c.typed));
        EXPECT_EQ(tree.ItemText(a), c.shown);
    }
}

TEST_F(TreeWin, FrameOnlyInAColourOtherThanZero) {
    tree.DestroyWindow();
    for (uint32_t frame : {0x0000FFu, 0u}) {
        CTreeCtrlEx t;
        TreeCreateArgs a;
        a.rc = {10, 10, 210, 210};
        a.colours.background = 0x00302010;
        a.colours.frame = frame;
        ASSERT_TRUE(t.Create(host.m_hWnd, a, UiTheme{}));
        ::UpdateWindow(t.m_hWnd);
        HDC dc = ::GetDC(t.m_hWnd);
        const COLORREF edge = ::GetPixel(dc, 0, 100), inside = ::GetPixel(dc, 100, 100);
        ::ReleaseDC(t.m_hWnd, dc);
        EXPECT_EQ(inside, COLORREF{0x00302010});
        EXPECT_EQ(edge, frame ? COLORREF{frame} : COLORREF{0x00302010}) << frame;
    }
}

// The system's light scroll bar never shows: while the rows do not all fit, the skin's bar lies
// over it in the tree's colours, and dragging its thumb, clicking its track or turning the wheel
// over it scrolls the rows as the system's bar would.
TEST_F(TreeWin, RowsThatDoNotFitScrollWithTheSkinsBar) {
    CSkinScrollBar& bar = tree.ScrollBar();
    tree.InsertItem(TVI_ROOT, false, CTreeCtrlEx::kLeaf, "", "only", 1, 5);
    zvtest::Pump(30);
    EXPECT_FALSE(::IsWindowVisible(bar.m_hWnd)) << "all rows fit";
    for (int i = 0; i < 60; ++i)
        tree.InsertItem(TVI_ROOT, false, CTreeCtrlEx::kLeaf, "", "row " + std::to_string(i), i, 5);
    ::RedrawWindow(host.m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    zvtest::Pump(30);
    ASSERT_TRUE(::IsWindowVisible(bar.m_hWnd));

    // Every pixel where the system draws its bar shows the skin's colours.
    SCROLLBARINFO sbi{};
    sbi.cbSize = sizeof sbi;
    ASSERT_TRUE(::GetScrollBarInfo(tree.m_hWnd, OBJID_VSCROLL, &sbi));
    RECT sys = sbi.rcScrollBar;
    ::MapWindowPoints(nullptr, host.m_hWnd, reinterpret_cast<POINT*>(&sys), 2);
    const TreeColours colours;
    const ThumbPlace thumb = bar.Thumb();
    HDC dc = ::GetDC(host.m_hWnd);
    int foreign = 0;
    for (int y = sys.top; y < sys.bottom; ++y)
        for (int x = sys.left; x < sys.right; ++x) {
            const COLORREF c = ::GetPixel(dc, x, y);
            const bool inThumb = y - sys.top >= thumb.top && y - sys.top < thumb.bottom;
            foreign += c != COLORREF{colours.background} && !inThumb;
        }
    ::ReleaseDC(host.m_hWnd, dc);
    EXPECT_EQ(foreign, 0) << "pixels of the bar's track not in the tree's background";

    auto pos = [&] { return ::GetScrollPos(tree.m_hWnd, SB_VERT); };
    const int last = LastScrollPosition(bar.Range());
    ASSERT_GT(last, 0);
    const int x = (sys.right - sys.left) / 2, grab = (thumb.top + thumb.bottom) / 2;
    ::SendMessageW(bar.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, grab));
    ::SendMessageW(bar.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, sys.bottom - sys.top));
    ::SendMessageW(bar.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(x, sys.bottom - sys.top));
    EXPECT_EQ(pos(), last) << "dragged to the end";
    EXPECT_NE(TreeView_GetFirstVisible(tree.m_hWnd), TreeView_GetRoot(tree.m_hWnd));

    ::SendMessageW(bar.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 2));
    ::SendMessageW(bar.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(x, 2));
    const int afterPage = pos();
    EXPECT_LT(afterPage, last) << "a click above the thumb goes a page up";
    RECT screen;
    ::GetWindowRect(bar.m_hWnd, &screen);
    ::SendMessageW(bar.m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA),
                   MAKELPARAM(screen.left + 2, screen.top + 2));
    EXPECT_LT(pos(), afterPage) << "the wheel over the bar scrolls the rows";
}

// ---- the modal dialogs ---------------------------------------------------------------

using zvtest::g_steps;

void ClickButton(HWND dlg, UINT id) {
    HWND b = ::GetDlgItem(dlg, static_cast<int>(id));
    ::PostMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    ::PostMessageW(b, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

void Key(HWND to, WPARAM vk) {
    ::PostMessageW(to, WM_KEYDOWN, vk, 1);
    ::PostMessageW(to, WM_KEYUP, vk, 1 | 0xC0000000);
}

class DialogWin : public zvtest::ModalDialogTest {};

class PickerWin : public DialogWin {
  protected:
    zvtest::TempDir dir;
    void PutMacro(const std::string& rel, MacroId id) {
        StMacro m = NewMacroRecord(platform::FileNameOf(rel), id);
        m.events[0] = MacroEvent{0x41, 1, 5};
        uint8_t bytes[kStMacroSize];
        MacroFileBytes(m, bytes);
        const std::string path = platform::JoinPath(dir.path(), rel);
        ASSERT_TRUE(MakeSureFolderExist(path));
        ASSERT_TRUE(MyCreateFile(path, bytes, sizeof bytes));
    }
    static HTREEITEM ItemNamed(HWND dlg, const std::string& text) {
        auto* tree = static_cast<CTreeCtrlEx*>(
            CWndBase::FromHandle(::GetDlgItem(dlg, CPickMacroDlg::kIdTree)));
        HTREEITEM found = nullptr;
        tree->WalkItems(
            TVI_ROOT,
            [&](HTREEITEM i) {
                if (tree->ItemText(i) == text) found = i;
                return found != nullptr;
            },
            true);
        return found;
    }
};

TEST_F(PickerWin, OkRefusedOnAFolderThenGivesTheChosenMacrosId) {
    PutMacro("hid.qzm", 0x01ABCDEF);
    PutMacro("Games\\deep.qzm", 0x000222);
    bool tipsShown = false, openAfterTips = false;
    g_steps = {
        [](HWND dlg) {
            Click(::GetDlgItem(dlg, CPickMacroDlg::kIdTree), ItemNamed(dlg, "Games"));
            ClickButton(dlg, IDOK);
        },
        [&](HWND) {
            // The system's box, run inside the picker's own run.
            HWND tips = ::FindWindowW(nullptr, L"Tips");
            tipsShown = tips != nullptr;
            if (tips) ::PostMessageW(tips, WM_COMMAND, IDOK, 0);
        },
        [&](HWND dlg) {
            openAfterTips = ::IsWindowVisible(dlg) != FALSE;
            Click(::GetDlgItem(dlg, CPickMacroDlg::kIdTree), ItemNamed(dlg, "hid"));
            ClickButton(dlg, IDOK);
        },
    };
    CPickMacroDlg dlg;
    dlg.root = dir.path();
    dlg.showFolders = true;
    EXPECT_EQ(dlg.DoModal(host.m_hWnd), IDOK);
    EXPECT_TRUE(tipsShown);
    EXPECT_TRUE(openAfterTips);
    // Only the id's low 24 bits name the macro.
    EXPECT_EQ(dlg.Result(), 0xABCDEF);
}

TEST_F(PickerWin, NewAsksForTheMacroPageAndFoldersFollowMacroDir) {
    PutMacro("top.qzm", 0x11);
    PutMacro("Games\\deep.qzm", 0x22);
    bool folderListed = true, topListed = false;
    g_steps = {
        [&](HWND dlg) {
            folderListed = ItemNamed(dlg, "Games") != nullptr || ItemNamed(dlg, "deep") != nullptr;
            topListed = ItemNamed(dlg, "top") != nullptr;
            ClickButton(dlg, CPickMacroDlg::kIdNew);
        },
    };
    CPickMacroDlg dlg;
    dlg.root = dir.path();
    dlg.showFolders = false;
    EXPECT_EQ(dlg.DoModal(host.m_hWnd), IDOK);
    EXPECT_EQ(dlg.Result(), -1);
    EXPECT_FALSE(folderListed);
    EXPECT_TRUE(topListed);
}

using MoveWin = DialogWin;

TEST_F(MoveWin, TypingIsHeldToTheRangeAndEscapeKeepsItOpen) {
    std::string openedX = "?", openedY = "?", after300, afterMinus500, afterLetters;
    bool openAfterEscape = false;
    auto box = [](HWND dlg, UINT id) { return ::GetDlgItem(dlg, static_cast<int>(id)); };
    auto type = [](HWND to, const char* text) {
        for (const char* c = text; *c; ++c) ::PostMessageW(to, WM_CHAR, *c, 1);
    };
    g_steps = {
        [&](HWND dlg) {
            openedX = TextOf(box(dlg, CMoveDlg::kIdX));
            openedY = TextOf(box(dlg, CMoveDlg::kIdY));
            Key(box(dlg, CMoveDlg::kIdX), VK_ESCAPE);
        },
        [&](HWND dlg) {
            openAfterEscape = ::IsWindowVisible(dlg) != FALSE;
            ::SetFocus(box(dlg, CMoveDlg::kIdX));
            type(box(dlg, CMoveDlg::kIdX), "300");
        },
        [&](HWND dlg) {
            after300 = TextOf(box(dlg, CMoveDlg::kIdX));
            ::SetWindowTextW(box(dlg, CMoveDlg::kIdX), L"");
            type(box(dlg, CMoveDlg::kIdX), "-500");
        },
        [&](HWND dlg) {
            afterMinus500 = TextOf(box(dlg, CMoveDlg::kIdX));
            ::SetWindowTextW(box(dlg, CMoveDlg::kIdX), L"12a4");
        },
        [&](HWND dlg) {
            afterLetters = TextOf(box(dlg, CMoveDlg::kIdX));
            Key(box(dlg, CMoveDlg::kIdX), VK_RETURN);
        },
    };
    CMoveDlg dlg;
    dlg.x = 0;
    dlg.y = -3;
    EXPECT_EQ(dlg.DoModal(host.m_hWnd), IDOK);
    EXPECT_EQ(openedX, "");
    EXPECT_EQ(openedY, "-3");
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(after300, "127");
    EXPECT_EQ(afterMinus500, "-127");
    EXPECT_EQ(afterLetters, "12");
    EXPECT_EQ(dlg.x, 12);
    EXPECT_EQ(dlg.y, -3);
}

TEST_F(MoveWin, EmptiedBoxKeepsItsOpeningValueAndCancelKeepsBoth) {
    g_steps = {
        [](HWND dlg) {
            ::SetWindowTextW(::GetDlgItem(dlg, CMoveDlg::kIdX), L"");
            ::SetWindowTextW(::GetDlgItem(dlg, CMoveDlg::kIdY), L"-");
            ClickButton(dlg, IDOK);
        },
    };
    CMoveDlg dlg;
    dlg.x = 5;
    dlg.y = 9;
    EXPECT_EQ(dlg.DoModal(host.m_hWnd), IDOK);
    EXPECT_EQ(dlg.x, 5);
    EXPECT_EQ(dlg.y, 9);

    g_steps = {
        [](HWND dlg) {
            ::SetWindowTextW(::GetDlgItem(dlg, CMoveDlg::kIdX), L"40");
            ClickButton(dlg, IDCANCEL);
        },
    };
    EXPECT_EQ(dlg.DoModal(host.m_hWnd), IDCANCEL);
    EXPECT_EQ(dlg.x, 5);
}

// ---- the macro page ------------------------------------------------------------------

class MacroPageWin : public ::testing::Test {
  protected:
    zvtest::TempDir dir;
    zvtest::UiHost host;
    zvtest::StubPageHost pageHost;
    std::string root;

    void SetUp() override {
        zvtest::StartGdiplus();
        gVar.szAppDir = zvtest::ProgramFolder();
        gVar.szAppDataDir = dir.path();
        gVar.MinUIDelay = 10;
        gVar.MacroDir = 0;
        LoadTexts(zvtest::SourceDir() + "\\data\\English\\text.xml");
        root = MacroRootFolder();
        StMacro m = NewMacroRecord("hid", 0x000321);
        m.events[0] = MacroEvent{0x42, 1, 0};  // replaced by what is recorded
        uint8_t bytes[kStMacroSize];
        MacroFileBytes(m, bytes);
        ASSERT_TRUE(MakeSureFolderExist(platform::JoinPath(root, "hid.qzm")));
        ASSERT_TRUE(MyCreateFile(platform::JoinPath(root, "hid.qzm"), bytes, sizeof bytes));
        g_MacroList.Clear();
        LoadMacroFolder(root, nullptr, 0, false, true, g_MacroList);
        ASSERT_TRUE(host.Open(0, 0, 1000, 560));
    }
    void TearDown() override {
        host.DestroyWindow();
        g_MacroList.Clear();
        gVar.szAppDataDir.clear();
    }
    // The page made and shown, with "hid" chosen in its tree.
    void OpenOnHid(CMacroDlg& page) {
        ASSERT_TRUE(page.CreatePage(host.m_hWnd, RECT{0, 0, 1000, 560}, UiTheme{}));
        page.Show(true);
        Click(page.Tree().m_hWnd, page.Tree().FindRootChild("hid"));
        zvtest::Pump(30);
    }
    static void Press(HWND button) {
        ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    }
};

TEST_F(MacroPageWin, RecordsAPressAndReleaseAndSavesThemToTheFile) {
    CMacroDlg page(PageParts{pageHost, TheProfile(), gVar, gVar, g_MacroList});
    ASSERT_TRUE(page.CreatePage(host.m_hWnd, RECT{0, 0, 1000, 560}, UiTheme{}));
    page.Show(true);
    HTREEITEM hid = page.Tree().FindRootChild("HID");
    ASSERT_NE(hid, nullptr);
    Click(page.Tree().m_hWnd, hid);
    zvtest::Pump(30);
    ASSERT_TRUE(page.Editor().HasMacro());

    HWND record = ::GetDlgItem(page.m_hWnd, CMacroDlg::kIdRecord);
    Press(record);
    ASSERT_TRUE(page.IsRecording());
    EXPECT_FALSE(::IsWindowVisible(page.CountBox()));
    // The tree takes no clicks while recording.
    Click(page.Tree().m_hWnd, hid);
    const LPARAM scanA = 1 | (0x1E << 16);
    ::SendMessageW(page.m_hWnd, WM_KEYDOWN, 'A', scanA);
    ::SendMessageW(page.m_hWnd, WM_KEYDOWN, 'A', scanA | 0x40000000);  // auto-repeat
    ::SendMessageW(page.m_hWnd, WM_KEYUP, 'A', scanA | 0xC0000000);
    Press(record);
    ASSERT_FALSE(page.IsRecording());
    EXPECT_TRUE(::IsWindowVisible(page.CountBox()));

    std::vector<EventKind> kinds;
    for (const EventRow& r : page.Editor().Rows())
        if (r.kind != EventKind::Delay) kinds.push_back(r.kind);
    EXPECT_EQ(kinds, (std::vector<EventKind>{EventKind::Press, EventKind::Release}));
    EXPECT_EQ(TreeView_GetCount(page.List().m_hWnd), page.Editor().Rows().size());

    Press(::GetDlgItem(page.m_hWnd, CMacroDlg::kIdSave));
    const std::optional<StMacro> saved = ReadMacroFile(platform::JoinPath(root, "hid.qzm"));
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->id, 0x000321u);
    EXPECT_EQ(+saved->events[0].code, 0x41);
    EXPECT_EQ(+saved->events[0].flags & 1, 1);
    EXPECT_EQ(+saved->events[1].code, 0x41);
    EXPECT_EQ(+saved->events[1].flags & 1, 0);
    EXPECT_EQ(+saved->events[2].code, 0);
    EXPECT_FALSE(page.Editor().SaveVisible());
}

// A saved macro that a button of the current profile plays is in the mouse too: the page asks
// its host to write the buttons again (with ApplyNow, at once); a macro on no button asks
// nothing.
TEST_F(MacroPageWin, SavingAMacroOnAButtonAsksTheHostToWriteTheButtons) {
    struct Case {
        const char* what;
        uint32_t onButton;  // the macro a button plays
        std::vector<bool> refreshes;
    };
    const Case cases[] = {{"on a button", 0x000321, {true}}, {"on none", 0x000999, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TheProfile().Edit([&c](ProfileState& s) {
            s.ProfileList.assign(1, ProfileFile{});
            KeyInfo& key = s.ProfileList[0].keys[0][2];
            key.dwFunID = 5u << 24;
            key.dwMacroID = c.onButton;
            s.pFile = &s.ProfileList[0];
        });
        gVar.ApplyNow = 1;
        pageHost.buttonRefreshes.clear();
        {
            CMacroDlg page(PageParts{pageHost, TheProfile(), gVar, gVar, g_MacroList});
            OpenOnHid(page);
            ASSERT_TRUE(page.Editor().HasMacro());
            HWND record = ::GetDlgItem(page.m_hWnd, CMacroDlg::kIdRecord);
            Press(record);
            const LPARAM scanA = 1 | (0x1E << 16);
            ::SendMessageW(page.m_hWnd, WM_KEYDOWN, 'A', scanA);
            ::SendMessageW(page.m_hWnd, WM_KEYUP, 'A', scanA | 0xC0000000);
            Press(record);
            Press(::GetDlgItem(page.m_hWnd, CMacroDlg::kIdSave));
            EXPECT_EQ(pageHost.buttonRefreshes, c.refreshes);
        }
        gVar.ApplyNow = 0;
        TheProfile().Edit([](ProfileState& s) {
            s.pFile = nullptr;
            s.ProfileList.clear();
        });
    }
}

// A page that notes what it tells instead of opening a box.
class TellingMacroPage : public CMacroDlg {
  public:
    using CMacroDlg::CMacroDlg;
    std::vector<std::string> told;
    void ShowMessage(const std::string& text) override { told.push_back(text); }
};

// A Save whose file cannot be written says so, with the file, and keeps its Save button; the
// next Save, once the file can be written, puts the same edit there.
TEST_F(MacroPageWin, SaveThatCannotWriteItsFileSaysSoAndKeepsTheButton) {
    TellingMacroPage page(PageParts{pageHost, TheProfile(), gVar, gVar, g_MacroList});
    OpenOnHid(page);
    ASSERT_TRUE(page.Editor().HasMacro());
    HWND record = ::GetDlgItem(page.m_hWnd, CMacroDlg::kIdRecord);
    HWND save = ::GetDlgItem(page.m_hWnd, CMacroDlg::kIdSave);
    Press(record);
    const LPARAM scanC = 1 | (0x2E << 16);
    ::SendMessageW(page.m_hWnd, WM_KEYDOWN, 'C', scanC);
    ::SendMessageW(page.m_hWnd, WM_KEYUP, 'C', scanC | 0xC0000000);
    Press(record);
    ASSERT_TRUE(page.Editor().SaveVisible());

    // A folder has taken the file's place: the file cannot be replaced.
    const std::string file = platform::JoinPath(root, "hid.qzm");
    ASSERT_TRUE(platform::RemoveFile(file));
    ASSERT_TRUE(platform::MakeDirectory(file));
    Press(save);
    ASSERT_EQ(page.told.size(), 1u);
    EXPECT_NE(page.told[0].find("hid.qzm"), std::string::npos) << page.told[0];
    EXPECT_TRUE(platform::TakeSaveFailures().empty()) << "told twice";
    EXPECT_TRUE(page.Editor().SaveVisible());
    EXPECT_TRUE(::IsWindowVisible(save));

    ASSERT_TRUE(platform::RemoveEmptyDirectory(file));
    Press(save);
    EXPECT_EQ(page.told.size(), 1u);
    const std::optional<StMacro> saved = ReadMacroFile(file);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(+saved->events[0].code, 0x43);
    EXPECT_EQ(+saved->events[1].code, 0x43);
    EXPECT_FALSE(page.Editor().SaveVisible());
}

// The page inside a modal window that, like the main window, takes Enter, Escape, Space and
// F1 before they are dispatched.
class KeySwallowingWindow : public CDialogBase {
  public:
    zvtest::StubPageHost pageHost;
    CMacroDlg page{PageParts{pageHost, TheProfile(), gVar, gVar, g_MacroList}};
    std::function<void()> start;
    bool PreTranslateMessage(MSG* msg) override {
        return SwallowsKey(kMainWindowKeys, msg->message, static_cast<uint32_t>(msg->wParam));
    }

  protected:
    bool CreateDialogWindow(HWND owner) override {
        if (!CreateEx(0, L"ZvKeyWindow", WS_POPUP | WS_VISIBLE, RECT{0, 0, 1000, 560}, owner, 0))
            return false;
        if (!page.CreatePage(m_hWnd, RECT{0, 0, 1000, 560}, UiTheme{})) return false;
        page.Show(true);
        start();
        return true;
    }
};

TEST_F(MacroPageWin, RecordsTheKeysTheMainWindowKeepsFromDialogs) {
    KeySwallowingWindow w;
    w.start = [&] {
        Click(w.page.Tree().m_hWnd, w.page.Tree().FindRootChild("hid"));
        zvtest::Pump(30);
        Press(::GetDlgItem(w.page.m_hWnd, CMacroDlg::kIdRecord));
        ASSERT_TRUE(w.page.IsRecording());
        for (WPARAM vk : {VK_RETURN, VK_ESCAPE, VK_SPACE, VK_F1}) {
            ::PostMessageW(w.page.m_hWnd, WM_KEYDOWN, vk, 1);
            ::PostMessageW(w.page.m_hWnd, WM_KEYUP, vk, 1 | 0xC0000000);
        }
        w.PostMessage(WM_CLOSE);
    };
    w.DoModal(host.m_hWnd);
    std::vector<EventRow> keys;
    for (const EventRow& r : w.page.Editor().Rows())
        if (r.kind != EventKind::Delay) keys.push_back(r);
    std::vector<EventRow> expected;
    for (uint32_t vk : {VK_RETURN, VK_ESCAPE, VK_SPACE, VK_F1}) {
        expected.push_back({EventKind::Press, vk});
        expected.push_back({EventKind::Release, vk});
    }
    EXPECT_EQ(keys, expected);
}

TEST_F(MacroPageWin, PlayModeCountAndInsertMenuReachTheSavedFile) {
    CMacroDlg page(PageParts{pageHost, TheProfile(), gVar, gVar, g_MacroList});
    ASSERT_NO_FATAL_FAILURE(OpenOnHid(page));
    HWND count = page.CountBox();
    ASSERT_TRUE(::IsWindowVisible(count));
    EXPECT_EQ(TextOf(count), "1");

    // "Repeat until pressed again" hides the count; "Repeat count" shows it again at 1.
    Press(::GetDlgItem(page.m_hWnd, CMacroDlg::kIdRadio + 1));
    EXPECT_EQ(page.Editor().PlayMode(), kPlayUntilPressed);
    EXPECT_FALSE(::IsWindowVisible(count));
    Press(::GetDlgItem(page.m_hWnd, CMacroDlg::kIdRadio + 2));
    EXPECT_TRUE(::IsWindowVisible(count));
    struct Typed {
        const wchar_t* text;
        const char* shown;
    };
    for (const Typed& t : {Typed{L"300", "250"}, Typed{L"0", "1"}, Typed{L"37", "37"}}) {
        ::SetWindowTextW(count, t.text);
        EXPECT_EQ(TextOf(count), t.shown) << t.shown;
    }
    // The insert menu's answer, told apart from the context menus' by its tag.
    ::SendMessageW(page.m_hWnd, WM_MENU_RESULT, 0xF10080, CMacroDlg::kInsertMenuTag);
    ASSERT_EQ(page.Editor().Rows().size(), 1u + 2u);  // the "B" press of the file, then the click
    EXPECT_EQ(page.Editor().Rows()[1], (EventRow{EventKind::Press, 0xF1}));
    EXPECT_EQ(page.Editor().Rows()[2], (EventRow{EventKind::Release, 0xF1}));

    Press(::GetDlgItem(page.m_hWnd, CMacroDlg::kIdSave));
    const std::optional<StMacro> saved = ReadMacroFile(platform::JoinPath(root, "hid.qzm"));
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->LoopMode, 0u);
    EXPECT_EQ(saved->repeatCount, 37);
    EXPECT_EQ(+saved->events[0].code, 0x42);
    EXPECT_EQ(+saved->events[1].code, 0xF1);
    EXPECT_EQ(saved->events[1].flags & 1, 1);
    EXPECT_EQ(saved->events[2].code, 0xF1);
    EXPECT_EQ(saved->events[2].flags & 1, 0);
}

TEST_F(MacroPageWin, MacrosFromTheReadingThreadNeverWaitForTheWindow) {
    CMacroDlg page(PageParts{pageHost, TheProfile(), gVar, gVar, g_MacroList});
    ASSERT_NO_FATAL_FAILURE(OpenOnHid(page));
    ASSERT_TRUE(page.Editor().HasMacro());

    // The window's thread waits for the reader here without pumping: a link that waited for
    // the window would never return.
    std::optional<MacroPageLink::RootMacro> added, old;
    bool took = false;
    std::thread reader([&] {
        took = page.AddRootMacro("Mouse1", 0x000777);
        added = page.FindRootMacro("MOUSE1");
        old = page.FindRootMacro("Hid");
        page.ReleaseMacro(0x000321);
    });
    reader.join();
    EXPECT_TRUE(took);
    ASSERT_TRUE(added.has_value());
    EXPECT_EQ(added->id, 0x000777u);
    EXPECT_EQ(added->text, "Mouse1");
    ASSERT_TRUE(old.has_value());
    EXPECT_EQ(old->id, 0x000321u);
    EXPECT_EQ(page.Tree().FindRootChild("mouse1"), nullptr);  // not yet: the window's turn

    zvtest::Pump(50);
    HTREEITEM item = page.Tree().FindRootChild("mouse1");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(page.Tree().FindRecord(item)->value, 0x000777);
    // The macro shown is about to be replaced: the editor lets it go.
    EXPECT_FALSE(page.Editor().HasMacro());
    EXPECT_EQ(page.Tree().Selected(), nullptr);
}

// The system's file dialog as export and import open it: what it offers and that Cancel gives
// no file.
std::string g_offered;
void CALLBACK ReadFileDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dlg = ::FindWindowW(L"#32770", nullptr);
    if (!dlg) return;
    wchar_t buf[MAX_PATH] = {};
    // The file name box: cmb13 in the explorer style, edt1 in the old one.
    if (!::GetDlgItemTextW(dlg, 0x47C, buf, MAX_PATH)) ::GetDlgItemTextW(dlg, 0x480, buf, MAX_PATH);
    g_offered = platform::win::Narrow(buf);
    ::PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(MacroPageWin, FileDialogsOfferTheMacrosNameOrItsKindOfFile) {
    struct Case {
        bool save;
        std::string name, offered;
    };
    for (const Case& c : {Case{true, "hid", "hid.qzm"}, Case{false, "", "*.qzm"}}) {
        g_offered.clear();
        const UINT_PTR t = ::SetTimer(nullptr, 0, 200, &ReadFileDialog);
        EXPECT_FALSE(AskDataFile(host.m_hWnd, c.save, "qzm", c.name).has_value());
        ::KillTimer(nullptr, t);
        EXPECT_EQ(g_offered, c.offered) << c.save;
    }
}

// A macro from the mouse arriving while the delete question is open.
CMacroDlg* g_page = nullptr;
int g_phase = 0;
bool g_shownDuringQuestion = false;
void CALLBACK AnswerDeleteQuestion(HWND, UINT, UINT_PTR, DWORD) {
    HWND dlg = ::FindWindowW(nullptr, L"ZorvanMsgTopWindow");
    if (!dlg || !g_page) return;
    if (g_phase == 0) {
        g_page->AddRootMacro("Mouse1", 0x000777);
    } else if (g_phase == 1) {
        // The question's own message loop has run the page's messages since.
        g_shownDuringQuestion = g_page->Tree().FindRootChild("mouse1") != nullptr;
        ClickButton(dlg, IDOK);
    }
    ++g_phase;
}

TEST_F(MacroPageWin, MacrosFromTheMouseWaitUntilADeleteIsDone) {
    CMacroDlg page(PageParts{pageHost, TheProfile(), gVar, gVar, g_MacroList});
    ASSERT_NO_FATAL_FAILURE(OpenOnHid(page));
    g_page = &page;
    g_phase = 0;
    g_shownDuringQuestion = true;
    const UINT_PTR t = ::SetTimer(nullptr, 0, 150, &AnswerDeleteQuestion);
    Press(::GetDlgItem(page.m_hWnd, CMacroDlg::kIdDelete));
    ::KillTimer(nullptr, t);
    g_page = nullptr;
    ASSERT_GE(g_phase, 2);
    EXPECT_FALSE(g_shownDuringQuestion);
    zvtest::Pump(50);
    EXPECT_EQ(page.Tree().FindRootChild("hid"), nullptr);
    EXPECT_NE(page.Tree().FindRootChild("mouse1"), nullptr);
    EXPECT_FALSE(g_MacroList.Contains(0x000321));
}

}  // namespace

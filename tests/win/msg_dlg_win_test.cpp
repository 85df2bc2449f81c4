// The message dialog as a real modal window, driven by posted keys and clicks while it runs; and
// what every small skinned dialog shares: the keys it gives no meaning and its boxes' colours.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/language_texts.h"
#include "platform/win/wide.h"
#include "support/temp_dir.h"
#include "ui/win/firekey_dlg.h"
#include "ui/win/move_dlg.h"
#include "ui/win/msg_dlg.h"
#include "ui/win/pick_macro_dlg.h"
#include "win/modal_steps.h"

namespace {

using zvtest::g_steps;

class MsgDlgWin : public zvtest::ModalDialogTest {
  protected:
    static HWND Edit(HWND dlg) { return ::GetDlgItem(dlg, CMsgDlg::kIdEdit); }
    static void Key(HWND to, WPARAM vk, LPARAM scan) {
        ::PostMessageW(to, WM_KEYDOWN, vk, 1 | (scan << 16));
        ::PostMessageW(to, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000);
    }
    static std::string TextOf(HWND w) {
        wchar_t buf[300] = {};
        ::GetWindowTextW(w, buf, 300);
        return platform::win::Narrow(buf);
    }
    static void SetEdit(HWND dlg, const char* text) {
        ::SetWindowTextW(Edit(dlg), platform::win::Widen(text).c_str());
    }
};

TEST_F(MsgDlgWin, EnterPressesOkAndEscapeSpaceF1DoNothing) {
    bool openAfterKeys = false;
    g_steps = {
        [](HWND dlg) {
            for (WPARAM k : {VK_ESCAPE, VK_SPACE, VK_F1}) Key(dlg, k, 0);
        },
        [&](HWND dlg) { openAfterKeys = ::IsWindowVisible(dlg); },
        [](HWND dlg) { Key(dlg, VK_RETURN, 0x1C); },
    };
    EXPECT_EQ(ShowMessageText("Profile exported.", host.m_hWnd), IDOK);
    EXPECT_TRUE(openAfterKeys);
}

TEST_F(MsgDlgWin, TabReachesOkAndCancelWhileEscapeStaysSwallowed) {
    std::vector<int> visited;
    bool openAfterEscape = false;
    auto tab = [] { Key(::GetFocus(), VK_TAB, 0x0F); };
    auto note = [&visited] { visited.push_back(::GetDlgCtrlID(::GetFocus())); };
    g_steps = {
        [&](HWND) { tab(); },
        [&](HWND) {
            note();
            tab();
        },
        [&](HWND) {
            note();
            Key(::GetFocus(), VK_ESCAPE, 0x01);
        },
        [&](HWND dlg) {
            openAfterEscape = ::IsWindowVisible(dlg);
            // Space on the focused Cancel presses it.
            Key(::GetFocus(), VK_SPACE, 0x39);
        },
    };
    EXPECT_FALSE(AskYesNo(host.m_hWnd, "Delete the macro?"));
    EXPECT_EQ(visited, (std::vector<int>{CMsgDlg::kIdOk, CMsgDlg::kIdCancel}));
    EXPECT_TRUE(openAfterEscape);
}

TEST_F(MsgDlgWin, TextInputEmptyIsCancelledAndBlanksCanBeTyped) {
    std::string out = "unchanged";
    g_steps = {[](HWND dlg) { Key(dlg, VK_RETURN, 0x1C); }};
    EXPECT_EQ(AskText(host.m_hWnd, "Name of the macro", 30, &out), 0);
    EXPECT_EQ(out, "unchanged");

    g_steps = {
        [](HWND dlg) {
            Key(Edit(dlg), 'A', 0x1E);
            Key(Edit(dlg), VK_SPACE, 0x39);
            Key(Edit(dlg), 'B', 0x30);
        },
        [](HWND dlg) { Key(Edit(dlg), VK_RETURN, 0x1C); },
    };
    EXPECT_EQ(AskText(host.m_hWnd, "Name of the macro", 30, &out), 1);
    EXPECT_EQ(out, "a b");
}

TEST_F(MsgDlgWin, NumberInputKeepsToItsRange) {
    CMsgDlg dlg;
    dlg.mode = MsgMode::kNumberInput;
    dlg.text = "DPI";
    dlg.range = {10, 65535};
    std::string shown, hintHigh, hintLow;
    bool openAfterLowOk = false;
    g_steps = {
        [](HWND w) { SetEdit(w, "70000"); },
        [&](HWND w) {
            shown = TextOf(Edit(w));
            hintHigh = dlg.Hint();
            SetEdit(w, "5");
            ::PostMessageW(w, WM_COMMAND, IDOK, 0);
        },
        [&](HWND w) {
            openAfterLowOk = ::IsWindowVisible(w);
            hintLow = dlg.Hint();
            SetEdit(w, "800");
            Key(w, VK_RETURN, 0x1C);
        },
    };
    EXPECT_EQ(dlg.DoModal(host.m_hWnd), IDOK);
    EXPECT_EQ(shown, "65535");
    EXPECT_EQ(hintHigh, GetText("tc_tip4") + " 10 - 65535");
    EXPECT_TRUE(openAfterLowOk);
    EXPECT_EQ(hintLow, GetText("tc_tip4") + " 10 - 65535");
    EXPECT_EQ(dlg.numberResult, 800u);
}

TEST_F(MsgDlgWin, KeyCaptureFromKeyboardMessages) {
    CMsgDlg dlg;
    dlg.mode = MsgMode::kKeyCapture;
    dlg.text = "Press the keys";
    std::string shown;
    g_steps = {
        [](HWND w) {
            ::PostMessageW(Edit(w), WM_KEYDOWN, VK_CONTROL, 0x001D0001);
            ::PostMessageW(Edit(w), WM_KEYDOWN, VK_SHIFT, 0x002A0001);
            ::PostMessageW(Edit(w), WM_KEYDOWN, 'A', 0x001E0001);
            ::PostMessageW(Edit(w), WM_KEYUP, 'A', 0xC01E0001);
            // Enter is captured like any key, so it does not end the capture.
            ::PostMessageW(Edit(w), WM_KEYUP, VK_RETURN, 0xC01C0001);
        },
        [&](HWND w) {
            shown = TextOf(Edit(w));
            ::PostMessageW(w, WM_COMMAND, IDOK, 0);
        },
    };
    EXPECT_EQ(dlg.DoModal(host.m_hWnd), IDOK);
    EXPECT_EQ(shown, "L-Ctrl + L-Shift + A");
    EXPECT_EQ(dlg.captureResult, (CapturedCombo{0x03, {'A', 0, 0}}));
}

TEST_F(MsgDlgWin, CheckBoxCaptureRefusesMoreThanThreeParts) {
    CMsgDlg dlg;
    dlg.mode = MsgMode::kKeyCapture;
    dlg.modifierCheckBoxes = true;
    std::string hint, shown;
    bool stayed = false;
    auto click = [](HWND w) {
        ::SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    };
    g_steps = {
        [&](HWND w) {
            // Ctrl held with the keys ticks its box; Alt is ticked by hand.
            ::PostMessageW(Edit(w), WM_KEYDOWN, VK_CONTROL, 0x011D0001);
            ::PostMessageW(Edit(w), WM_KEYDOWN, 'A', 0x001E0001);
            ::PostMessageW(Edit(w), WM_KEYDOWN, 'B', 0x00300001);
            // After the keys (posted behind them), as a user's click would come.
            const HWND alt = ::GetDlgItem(w, CMsgDlg::kIdCheckFirst + 2);
            ::PostMessageW(alt, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            ::PostMessageW(alt, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        },
        [&](HWND w) {
            // The ticked boxes show in the field before OK: Ctrl from the key held.
            shown = TextOf(Edit(w));
            ::PostMessageW(w, WM_COMMAND, IDOK, 0);
        },
        [&](HWND w) {
            stayed = ::IsWindowVisible(w);
            hint = dlg.Hint();
            click(::GetDlgItem(w, CMsgDlg::kIdCheckFirst + 2));  // Alt off again
            ::PostMessageW(w, WM_COMMAND, IDOK, 0);
        },
    };
    EXPECT_EQ(dlg.DoModal(host.m_hWnd), IDOK);
    EXPECT_TRUE(stayed);
    EXPECT_FALSE(hint.empty());
    EXPECT_EQ(hint, GetText("tc_msg29"));
    EXPECT_EQ(shown, "Ctrl + Alt + A + B");
    EXPECT_EQ(dlg.captureResult, (CapturedCombo{0x01, {'A', 'B', 0}}));
}

// The captions of the message dialog's buttons fit on them in every shipped language, with
// the font the buttons draw with (the reset question's "Reset" included).
TEST_F(MsgDlgWin, ButtonCaptionsFitInEveryLanguage) {
    const ZvRect ok = LayoutMsgDlg(MsgMode::kQuestion, 434, false, false).ok;
    const int room = ok.right - ok.left - 4;
    bool owned = false;
    HFONT font = MakeUiFont(nullptr, UiTheme{}.FontHeight(), FW_NORMAL, &owned);
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font);
    for (const char* language : {"English", "French", "German"}) {
        ASSERT_TRUE(LoadTexts(zvtest::SourceDir() + "\\data\\" + language + "\\text.xml"));
        for (const char* key : {"tc_ok", "tc_cancel", "tc_reset"}) {
            const std::wstring w = platform::win::Widen(GetText(key));
            SIZE size{};
            ::GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
            EXPECT_LE(size.cx, room) << language << " " << key;
        }
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    if (owned) ::DeleteObject(font);
    LoadTexts(zvtest::SourceDir() + "\\data\\English\\text.xml");
}

TEST_F(MsgDlgWin, AWaitingMessageClosesWhenItsEventIsSignalled) {
    HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool okShown = true;
    g_steps = {[&](HWND w) {
        okShown = ::IsWindowVisible(::GetDlgItem(w, IDOK));
        ::SetEvent(done);
    }};
    EXPECT_EQ(ShowMessage("tc_msg12", done, host.m_hWnd), IDCANCEL);
    EXPECT_FALSE(okShown);
    ::CloseHandle(done);
}

TEST_F(MsgDlgWin, WithoutItsPictureTheDialogClosesAtOnce) {
    zvtest::TempDir empty;
    gVar.szAppDir = empty.path();
    g_steps = {[](HWND) { ADD_FAILURE() << "the dialog stayed open"; }};
    EXPECT_EQ(ShowMessageText("Nothing to see", host.m_hWnd), IDCANCEL);
}

// A dialog's window without its modal run.
template <class D>
class OpenedDialog : public D {
  public:
    using D::CreateDialogWindow;
    using D::D;
};

// `D` made with `args`, given `theme`, set up by `setUp` and opened over `owner`.
template <class D, class... Args>
std::shared_ptr<CSkinnedDialog> OpenDialog(HWND owner, const UiTheme& theme,
                                           const std::function<void(D&)>& setUp, Args&&... args) {
    auto d = std::make_shared<OpenedDialog<D>>(std::forward<Args>(args)...);
    d->theme = theme;
    if (setUp) setUp(*d);
    if (!d->CreateDialogWindow(owner)) return nullptr;
    return d;
}

// F1 never reaches a small dialog's controls (it would ask for help the program does not have),
// nor does Escape where it would throw typed values away, while a letter does; the text box is
// drawn in the theme's colours.
TEST_F(MsgDlgWin, SkinnedDialogsSwallowStrayKeysAndColourTheirBoxes) {
    ::KillTimer(nullptr, timer);  // the dialogs here have no modal run for the steps to end
    zvtest::TempDir data;
    gVar.szAppDataDir = data.path();
    UiTheme theme;
    theme.text = RGB(201, 102, 53);
    theme.edit = RGB(7, 8, 9);
    KeyInfo fire;
    fire.dwFunID = 0x080000A4;
    fire.dwParameter = 0x1402;
    auto mode = [](MsgMode m) {
        return std::function<void(CMsgDlg&)>([m](CMsgDlg& d) { d.mode = m; });
    };
    const struct {
        const char* name;
        std::function<std::shared_ptr<CSkinnedDialog>()> open;
        UINT box;  // 0: the dialog has none
        bool escapeSwallowed;
    } cases[] = {
        {"message",
         [&] { return OpenDialog<CMsgDlg>(host.m_hWnd, theme, mode(MsgMode::kMessage)); }, 0, true},
        {"text", [&] { return OpenDialog<CMsgDlg>(host.m_hWnd, theme, mode(MsgMode::kTextInput)); },
         CMsgDlg::kIdEdit, true},
        {"move", [&] { return OpenDialog<CMoveDlg>(host.m_hWnd, theme, {}); }, CMoveDlg::kIdX,
         true},
        {"fire", [&] { return OpenDialog<CFirekeyDlg>(host.m_hWnd, theme, {}, fire, theme); },
         CFirekeyDlg::kIdCount, true},
        // The picker leaves Escape to its tree.
        {"picker", [&] { return OpenDialog<CPickMacroDlg>(host.m_hWnd, theme, {}); }, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::shared_ptr<CSkinnedDialog> dlg = c.open();
        ASSERT_NE(dlg, nullptr);
        HWND target = c.box ? ::GetDlgItem(dlg->m_hWnd, static_cast<int>(c.box)) : dlg->m_hWnd;
        for (const UINT vk : {UINT{VK_ESCAPE}, UINT{VK_F1}, UINT{'A'}}) {
            MSG m{target, WM_KEYDOWN, vk, 1, 0, {}};
            const bool swallowed = vk == VK_F1 || (vk == VK_ESCAPE && c.escapeSwallowed);
            EXPECT_EQ(dlg->PreTranslateMessage(&m), swallowed) << vk;
        }
        if (c.box) {
            HDC dc = ::GetDC(target);
            const auto brush = reinterpret_cast<HBRUSH>(
                ::SendMessageW(dlg->m_hWnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(target)));
            EXPECT_NE(brush, nullptr);
            EXPECT_EQ(::GetBkColor(dc), theme.edit);
            EXPECT_EQ(::GetTextColor(dc), theme.text);
            ::ReleaseDC(target, dc);
        }
        dlg->DestroyWindow();
    }
    gVar.szAppDataDir.clear();
}

}  // namespace
